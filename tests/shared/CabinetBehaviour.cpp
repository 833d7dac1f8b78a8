// Cabinets as SetupIterateCabinetA walks them, on every backend, with the
// cabinets tests/data makes with gcab.
#include "support/Backend.h"
#include "support/CabinetRecorder.h"

using testing_support::BackendTest;
using testing_support::CabinetRecorder;

namespace {

const char kReadme[] = "Not one of the Unidrv files.\n";
// gcab's inputs are staged with the time 2008-05-16 14:09:30.
const WORD kDosDate = ((2008 - 1980) << 9) | (5 << 5) | 16;
const WORD kDosTime = (14 << 11) | (9 << 5) | (30 / 2);
const DWORD kCancelled = 1223;  // ERROR_CANCELLED

}  // namespace

class CabinetBehaviour : public BackendTest {
protected:
    std::string target(const std::string& name) { return scratch() + "\\" + name; }

    BOOL iterate(const std::string& cabinet, CabinetRecorder& recorder) {
        sys().SetLastError(0xdeadbeef);
        return sys().SetupIterateCabinetA(cabinet.c_str(), 0, &CabinetRecorder::handle,
                                          &recorder);
    }
};

TEST_P(CabinetBehaviour, OffersEveryFileInCabinetOrderWithItsDirectoryEntry) {
    std::string cabinet = dataFile("stored.cab");
    CabinetRecorder recorder;
    ASSERT_TRUE(iterate(cabinet, recorder)) << sys().GetLastError();

    EXPECT_EQ(recorder.cabinetInfos, 1);
    EXPECT_EQ(recorder.infoPath, dataFile(""));
    EXPECT_EQ(recorder.infoFile, "");
    EXPECT_EQ(recorder.infoDisk, "");
    EXPECT_EQ(recorder.lastInfo.SetId, 0);
    EXPECT_EQ(recorder.lastInfo.CabinetNumber, 0);

    ASSERT_EQ(recorder.offeredNames(),
              (std::vector<std::string>{"unidrv.dll", "unires.dll", "readme.txt"}));
    const DWORD sizes[] = {51, 23, 29};
    for (size_t i = 0; i < recorder.offers.size(); ++i) {
        const auto& offer = recorder.offers[i];
        SCOPED_TRACE(offer.name);
        EXPECT_EQ(offer.size, sizes[i]);
        EXPECT_EQ(offer.date, kDosDate);
        EXPECT_EQ(offer.time, kDosTime);
        EXPECT_EQ(offer.attributes, FILE_ATTRIBUTE_ARCHIVE);
        EXPECT_EQ(offer.cabinet, cabinet);
        EXPECT_TRUE(offer.targetEmpty);
    }
    // Nothing was chosen, so nothing was extracted.
    EXPECT_TRUE(recorder.extracted.empty());
}

TEST_P(CabinetBehaviour, ExtractsOnlyTheChosenFilesWhereTheHandlerSays) {
    std::string cabinet = dataFile("mszip.cab");
    CabinetRecorder recorder;
    recorder.targets["readme.txt"] = target("renamed.doc");
    recorder.targets["stdnames.gpd"] = target("stdnames.gpd");
    ASSERT_TRUE(iterate(cabinet, recorder)) << sys().GetLastError();

    ASSERT_EQ(recorder.offeredNames(),
              (std::vector<std::string>{"stdnames.gpd", "ttfsub.gpd", "readme.txt"}));
    ASSERT_EQ(recorder.extracted.size(), 2u);
    EXPECT_EQ(recorder.extracted[0].target, target("stdnames.gpd"));
    EXPECT_EQ(recorder.extracted[1].target, target("renamed.doc"));
    for (const auto& done : recorder.extracted) {
        EXPECT_EQ(done.source, cabinet);
        EXPECT_EQ(done.error, 0u);
    }
    EXPECT_EQ(readFile(target("renamed.doc")), kReadme);
    EXPECT_EQ(readFile(target("stdnames.gpd")), "*% Stand-in GPD names\n");
    EXPECT_FALSE(fileExists(target("ttfsub.gpd")));
    EXPECT_FALSE(fileExists(target("readme.txt")));
}

TEST_P(CabinetBehaviour, LargeCompressedFilesInFoldersComeOutWhole) {
    CabinetRecorder recorder;
    recorder.targets["sub\\big.txt"] = target("big.txt");
    ASSERT_TRUE(iterate(dataFile("large.cab"), recorder)) << sys().GetLastError();
    ASSERT_EQ(recorder.offeredNames(),
              (std::vector<std::string>{"readme.txt", "sub\\big.txt", "unires.dll"}));
    EXPECT_EQ(recorder.offers[1].size, 150438u);
    std::string big = readFile(target("big.txt"));
    ASSERT_EQ(big.size(), 150438u);
    EXPECT_EQ(big.rfind("line 1: 1 is the square of 1 modulo 9973\r\n", 0), 0u);
    const std::string last = "line 3000: 4354 is the square of 3000 modulo 9973\r\n";
    EXPECT_EQ(big.substr(big.size() - last.size()), last);
}

TEST_P(CabinetBehaviour, ExtractionReplacesAnExistingFile) {
    writeFile(target("readme.txt"), "an older and much longer text than the one in the cabinet");
    CabinetRecorder recorder;
    recorder.targets["readme.txt"] = target("readme.txt");
    ASSERT_TRUE(iterate(dataFile("stored.cab"), recorder)) << sys().GetLastError();
    std::string content = readFile(target("readme.txt"));
    EXPECT_EQ(content.rfind(kReadme, 0), 0u);
    // Windows replaces the file; Wine 8 writes over it without cutting it
    // short, so the old file's tail stays. Callers must remove a target first.
    if (isSim()) {
        EXPECT_EQ(content, kReadme);
    }
}

TEST_P(CabinetBehaviour, AnAbortingHandlerEndsTheWalk) {
    CabinetRecorder recorder;
    recorder.targets["unidrv.dll"] = target("unidrv.dll");
    recorder.targets["readme.txt"] = target("readme.txt");
    recorder.abortAt = "unires.dll";
    recorder.abortError = kCancelled;
    BOOL finished = iterate(dataFile("stored.cab"), recorder);
    DWORD error = sys().GetLastError();
    EXPECT_EQ(readFile(target("unidrv.dll")).size(), 51u);
    if (isSim()) {
        EXPECT_FALSE(finished);
        EXPECT_EQ(error, kCancelled);
        EXPECT_EQ(recorder.offeredNames(),
                  (std::vector<std::string>{"unidrv.dll", "unires.dll"}));
        EXPECT_FALSE(fileExists(target("readme.txt")));
    }
    // Wine 8 takes FILEOP_ABORT for FILEOP_SKIP and goes on to the end; the
    // simulation stops, as Windows does.
}

TEST_P(CabinetBehaviour, AMissingCabinetIsNotFound) {
    for (const std::string& missing :
         {target("missing.cab"), scratch() + "\\no folder\\missing.cab"}) {
        SCOPED_TRACE(missing);
        CabinetRecorder recorder;
        EXPECT_FALSE(iterate(missing, recorder));
        EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(recorder.cabinetInfos, 0);
        EXPECT_TRUE(recorder.offers.empty());
    }
}

TEST_P(CabinetBehaviour, DamagedCabinetsFail) {
    std::string original = readFile(dataFile("mszip.cab"));
    ASSERT_EQ(original.size(), 220u);
    std::string damaged = original;
    for (size_t i = 150; i < 154; ++i) damaged[i] = '\xFF';
    writeFile(target("damaged.cab"), damaged);
    writeFile(target("text.cab"), "This is no cabinet at all.\r\n");

    CabinetRecorder notCabinet;
    EXPECT_FALSE(iterate(target("text.cab"), notCabinet));
    // Windows says ERROR_INVALID_DATA; Wine leaves the last error alone.
    if (isSim()) {
        EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    }
    EXPECT_TRUE(notCabinet.offers.empty());

    CabinetRecorder broken;
    for (const char* name : {"stdnames.gpd", "ttfsub.gpd", "readme.txt"})
        broken.targets[name] = target(name);
    EXPECT_FALSE(iterate(target("damaged.cab"), broken));
    if (isSim()) {
        EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    }
    EXPECT_FALSE(fileExists(target("readme.txt")));
}

TEST_P(CabinetBehaviour, ATargetThatCannotBeWrittenStopsTheWalk) {
    CabinetRecorder recorder;
    recorder.targets["unidrv.dll"] = scratch() + "\\no folder\\unidrv.dll";
    recorder.targets["readme.txt"] = target("readme.txt");
    EXPECT_FALSE(iterate(dataFile("stored.cab"), recorder));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(recorder.offeredNames(), std::vector<std::string>{"unidrv.dll"});
    EXPECT_FALSE(fileExists(target("readme.txt")));
}

INSTANTIATE_BACKENDS(CabinetBehaviour);
