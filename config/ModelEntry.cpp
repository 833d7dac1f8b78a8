#include "config/ModelEntry.h"

#include "config/ConfigNames.h"

namespace config {

int splitModelEntry(std::string* entry) {
    static const char* const suffixes[kCategoryCount] = {"-ReceiptPrinter", "-TicketPrinter",
                                                         "-LabelPrinter", "-EmbeddedPrinter"};
    for (int category = 0; category < kCategoryCount; ++category) {
        size_t at = entry->find(suffixes[category]);
        if (at != std::string::npos) {
            entry->erase(at);
            return category;
        }
    }
    return kNoCategory;
}

}  // namespace config
