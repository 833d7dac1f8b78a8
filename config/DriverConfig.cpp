#include "config/DriverConfig.h"

#include <algorithm>

#include "config/AsciiCase.h"
#include "config/ModelEntry.h"
#include "config/ProfileValues.h"

namespace config {
namespace {

const char* const kModelListSection = "DEVICENAME";
// Entry n of the list is the key "DEVICENAME{n}".
const char* const kModelEntryKey = "DEVICENAME";

// The entry number of a key that modelEntry reads ("DEVICENAME{n}" with n
// decimal, no leading zero, without regard to case) when n is 1..count; 0
// for any other key.
int entryNumber(const std::string& key, int count) {
    const std::string prefix = kModelEntryKey;
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 10) return 0;
    if (!equalIgnoringCase(key.substr(0, prefix.size()), prefix)) return 0;
    if (key[prefix.size()] == '0') return 0;
    long long n = 0;
    for (size_t i = prefix.size(); i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9') return 0;
        n = n * 10 + (key[i] - '0');
    }
    return n <= count ? static_cast<int>(n) : 0;
}

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
    *text = readValue(setupPath_, kModelListSection, kModelEntryKey + std::to_string(n), kFileRoom);
    return splitModelEntry(text);
}

namespace {

std::vector<int> presentEntries(const std::vector<std::string>& keys, int count) {
    std::vector<int> present;
    for (const std::string& key : keys)
        if (int n = entryNumber(key, count)) present.push_back(n);
    std::sort(present.begin(), present.end());
    present.erase(std::unique(present.begin(), present.end()), present.end());
    return present;
}

}  // namespace

std::vector<int> DriverConfig::entryNumbers(int count) const {
    return presentEntries(readKeyNames(setupPath_, kModelListSection), count);
}

bool DriverConfig::findModel(const std::string& name, int category, int* foundCategory,
                             std::string* foundName) const {
    for (const auto& [entryCategory, entryName] : models()) {
        if (equalIgnoringCase(entryName, name) && (category < 0 || category == entryCategory)) {
            *foundCategory = entryCategory;
            *foundName = entryName;
            return true;
        }
    }
    return false;
}

std::vector<std::pair<int, std::string>> DriverConfig::models() const {
    std::vector<std::pair<int, std::string>> models;
    const int count = modelCount();
    if (count < 1) return models;
    SectionSnapshot list;
    const bool snapshot = list.read(setupPath_, kModelListSection);
    const std::vector<int> present = snapshot ? presentEntries(list.keyNames(), count) : entryNumbers(count);
    std::string text;
    for (int n : present) {
        int category = kNoCategory;
        if (snapshot) {
            text = list.value(kModelEntryKey + std::to_string(n), kFileRoom);
            category = splitModelEntry(&text);
        } else {
            category = modelEntry(n, &text);
        }
        if (category != kNoCategory) models.emplace_back(category, text);
    }
    return models;
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
