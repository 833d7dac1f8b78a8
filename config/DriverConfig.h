// The configuration reader: the model list and the shared entries of
// "DRVCONFIG\setup.ini", and the model sections of the four category files,
// read from the directory of the program file.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "config/ConfigNames.h"
#include "config/Descriptors.h"

namespace config {

class DriverConfig {
public:
    // Computes the full paths of the five files once.
    DriverConfig();

    // The category whose file the model-section reads use (0..3).
    void setCategory(int category) { category_ = category; }
    int category() const { return category_; }

    // The number N of model entries ("DEVICENUMBER").
    int modelCount() const;
    // Entry n ("DEVICENAME{n}", 199 characters): its category with `text`
    // cut to the model name, or -1 with `text` left whole.
    int modelEntry(int n, std::string* text) const;
    // The numbers 1..count of the entries the list holds, in increasing
    // order. An entry the list lacks reads "0", which names no category, so
    // these are the only entries that can give a model: however large the
    // count, no more are read than the file holds.
    std::vector<int> entryNumbers(int count) const;
    // Every entry 1..N that names a category, in list order, as modelEntry
    // reads it: its category and its model name. Read from the file at once
    // where it allows (SectionSnapshot), else entry by entry.
    std::vector<std::pair<int, std::string>> models() const;
    // The first of models() named `name` without regard to case, of
    // `category` unless that is -1: its category, and its name as the list
    // spells it. False when the list has none.
    bool findModel(const std::string& name, int category, int* foundCategory, std::string* foundName) const;
    // The entry that "DEFAULTNAME" numbers, read as modelEntry reads it.
    int defaultModel(std::string* text) const;
    // The version of the print processor on the medium.
    int processorVersion() const;
    // Whether the model needs the Unidrv support files: the first character
    // of "STD2KDDKDEV" (STD) or "GDI2KDDKDEV" (GDI) is the digit 1.
    bool needs2kDdkFiles(const std::string& model, int targetOs, int flavour);

    // The descriptor builders. Text fields of the records point into this
    // object's buffers: they stay valid while it lives and until the next
    // call that fills the same buffers. The caller clears the records first.
    void buildDriverDescriptor(const std::string& model, int targetOs, DRIVER_INFO_3A* record,
                               int flavour, int portKind);
    void buildPrinterDescriptor(const std::string& model, int targetOs, PRINTER_INFO_2A* record,
                                int flavour, int portKind);
    void buildFileList(const std::string& model, int targetOs, DriverFileList* list, int flavour);
    void buildLanguageMonitor(int targetOs, LanguageMonitorDescriptor* record, int portKind);
    void buildPortMonitors(int targetOs, PortMonitorSet* record);

    // Replaces the printer name that buildPrinterDescriptor set, keeping the
    // record pointing at this object's buffer.
    void setPrinterName(PRINTER_INFO_2A* record, const std::string& name);

    const std::string& setupPath() const { return setupPath_; }
    // The full path of a category file (the lower-case spelling).
    const std::string& categoryPath(int category) const;
    // The path of the current category's file, as the last model-section read used it.
    const std::string& currentCategoryPath() const { return currentCategoryPath_; }

protected:
    // Rebuilds the current category's path before a model-section read.
    const std::string& useCategoryFile();

private:
    std::string readModelValue(const std::string& section, const std::string& key, size_t room);
    std::string readMonitorValue(int targetOs, const std::string& key, size_t room,
                                 unsigned* length = nullptr);
    static std::string driverNameKey(int targetOs, int portKind);
    static std::string flavourKey(int flavour, const std::string& name);

    // The driver record's buffers.
    struct DriverBuffers {
        std::string name, driverPath, dataFile, configFile, helpFile;
        std::string dataDll, uiPlugin, renderPlugin, pluginSettings;
        std::string dependentFiles;  // names each ended by a zero, then one more zero
    } driver_;
    // The printer record's buffers.
    struct PrinterBuffers {
        std::string driverName, printProcessor, printerName;
    } printer_;
    // The monitor records' buffers.
    struct LanguageMonitorBuffers {
        std::string name, dll;
    } languageMonitor_;
    struct PortMonitorBuffers {
        std::string usbName, usbDll, serialName, serialDll;
    } portMonitors_;

    std::string setupPath_;
    std::string categoryPaths_[kCategoryCount];
    std::string currentCategoryPath_;
    std::string empty_;
    int category_ = 0;
};

// "DEVICENAME" / key of the relative path "DRVCONFIG\setup.ini", as an integer.
int setupFlag(const std::string& key);
// Any key of a relative file as an integer, read through 200 characters.
int profileInteger(const std::string& relativeFile, const std::string& section,
                   const std::string& key);
// The full paths of setup.ini and of the category's file (capitalised
// spelling); a category outside 0..3 leaves the category path empty.
void installPaths(int category, std::string* setupPath, std::string* categoryPath);

}  // namespace config
