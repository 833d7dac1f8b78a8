// A cabinet handler for tests: it records every notification and answers
// as it was told, per file name.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "os/Os.h"

namespace testing_support {

struct CabinetRecorder {
    struct Offer {
        std::string name;
        DWORD size;
        WORD date;
        WORD time;
        WORD attributes;
        std::string cabinet;  // Param2 as given
        bool targetEmpty;     // FullTargetName as the handler found it
    };
    struct Extracted {
        std::string target;
        std::string source;
        UINT error;
    };

    // Files to extract, by name in the cabinet, and where; the rest are skipped.
    std::map<std::string, std::string> targets;
    // Aborts when offered this file, naming this error (0 names none).
    std::string abortAt;
    DWORD abortError = 0;
    UINT cabinetInfoAnswer = NO_ERROR;
    UINT extractedAnswer = NO_ERROR;

    int cabinetInfos = 0;
    CABINET_INFO_A lastInfo{};
    std::string infoPath, infoFile, infoDisk;
    std::vector<Offer> offers;
    std::vector<Extracted> extracted;

    std::vector<std::string> offeredNames() const {
        std::vector<std::string> names;
        for (const auto& offer : offers) names.push_back(offer.name);
        return names;
    }

    static UINT CALLBACK handle(PVOID context, UINT notification, UINT_PTR param1,
                                UINT_PTR param2) {
        auto& self = *static_cast<CabinetRecorder*>(context);
        switch (notification) {
        case SPFILENOTIFY_CABINETINFO:
            return self.cabinetInfo(*reinterpret_cast<const CABINET_INFO_A*>(param1));
        case SPFILENOTIFY_FILEINCABINET:
            return self.fileInCabinet(*reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1),
                                      reinterpret_cast<const char*>(param2));
        case SPFILENOTIFY_FILEEXTRACTED: {
            const auto& paths = *reinterpret_cast<const FILEPATHS_A*>(param1);
            self.extracted.push_back({paths.Target, paths.Source, paths.Win32Error});
            return self.extractedAnswer;
        }
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
        }
    }

private:
    UINT cabinetInfo(const CABINET_INFO_A& info) {
        ++cabinetInfos;
        lastInfo = info;
        infoPath = info.CabinetPath ? info.CabinetPath : "<null>";
        infoFile = info.CabinetFile ? info.CabinetFile : "<null>";
        infoDisk = info.DiskName ? info.DiskName : "<null>";
        return cabinetInfoAnswer;
    }

    UINT fileInCabinet(FILE_IN_CABINET_INFO_A& file, const char* cabinet) {
        offers.push_back({file.NameInCabinet, file.FileSize, file.DosDate, file.DosTime,
                          file.DosAttribs, cabinet ? cabinet : "<null>",
                          file.FullTargetName[0] == '\0'});
        if (file.NameInCabinet == abortAt) {
            file.Win32Error = abortError;
            return FILEOP_ABORT;
        }
        auto target = targets.find(file.NameInCabinet);
        if (target == targets.end()) return FILEOP_SKIP;
        snprintf(file.FullTargetName, MAX_PATH, "%s", target->second.c_str());
        return FILEOP_DOIT;
    }
};

}  // namespace testing_support
