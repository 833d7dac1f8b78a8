/*
 * What our stand-in USB printers are: the signature of their configuration
 * commands, which they require in a set-identity command. A real printer's
 * comes from its maker's command documentation and is given on the medium;
 * the sample medium gives this one. The stand-in library and the simulated
 * Windows both play such a printer.
 */
#ifndef STANDIN_PRINTER_H
#define STANDIN_PRINTER_H

#define STANDIN_PRINTER_SIGNATURE 0x50, 0x4C, 0x48, 0x44

#endif
