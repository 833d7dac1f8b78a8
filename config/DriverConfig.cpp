#include "config/DriverConfig.h"

#include "config/ModelEntry.h"
#include "config/ProfileValues.h"

namespace config {
namespace {

const char* const kModelListSection = "DEVICENAME";

}  // namespace

DriverConfig::DriverConfig() {
    std::string directory = moduleDirectory();
    setupPath_ = directory + kSetupFile;
    for (int c = 0; c < kCategoryCount; ++c) categoryPaths_[c] = directory + categoryFileLower(c);
}

const std::string& DriverConfig::categoryPath(int category) const {
    return category >= 0 && category < kCategoryCount ? categoryPaths_[category] : empty_;
}

const std::string& DriverConfig::useCategoryFile() {
    currentCategoryPath_ = categoryPath(category_);
    return currentCategoryPath_;
}

int DriverConfig::modelCount() const {
    return readInteger(setupPath_, kModelListSection, "DEVICENUMBER");
}

int DriverConfig::modelEntry(int n, std::string* text) const {
    *text = readValue(setupPath_, kModelListSection, "DEVICENAME" + std::to_string(n), kFileRoom);
    return splitModelEntry(text);
}

int DriverConfig::defaultModel(std::string* text) const {
    *text = readValue(setupPath_, kModelListSection, "DEFAULTNAME", kFileRoom);
    return modelEntry(parseDecimal(*text), text);
}

int DriverConfig::processorVersion() const {
    return readInteger(setupPath_, "ProcessorVersion", "DriverVersion");
}

bool DriverConfig::needs2kDdkFiles(const std::string& model, int targetOs, int flavour) {
    const char* key = flavour == kGdi ? "GDI2KDDKDEV" : "STD2KDDKDEV";
    std::string value = readValue(useCategoryFile(), modelSection(model, targetOs), key, kIntegerRoom);
    return !value.empty() && value[0] == '1';
}

int setupFlag(const std::string& key) {
    return profileInteger(kSetupFile, kModelListSection, key);
}

int profileInteger(const std::string& relativeFile, const std::string& section,
                   const std::string& key) {
    return parseDecimal(readValue(relativeFile, section, key, 199));
}

void installPaths(int category, std::string* setupPath, std::string* categoryPath) {
    std::string directory = moduleDirectory();
    *setupPath = directory + kSetupFile;
    categoryPath->clear();
    if (category >= 0 && category < kCategoryCount)
        *categoryPath = directory + categoryFileCapitalised(category);
}

}  // namespace config
