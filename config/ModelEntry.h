// A model entry of the model list: a model name followed by a category
// suffix such as "-ReceiptPrinter".
#pragma once

#include <string>

namespace config {

// Finds the category suffix, searched for case-sensitively anywhere in the
// entry in the order Receipt, Ticket, Label, Embedded; the first one found
// decides. Returns the category and cuts `entry` where the suffix begins
// (whatever follows goes with it), or returns -1 and leaves `entry` whole.
int splitModelEntry(std::string* entry);

}  // namespace config
