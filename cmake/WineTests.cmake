# Registers the Windows test executable's suites with ctest: one test per
# suite, run under Wine inside one Xvfb and one wineserver for the whole run.
set(WINE_RUNNER "${CMAKE_SOURCE_DIR}/tests/wine/run.sh")
set(WINE_STATE "${CMAKE_BINARY_DIR}/wine")
set(WINE_TEST_EXE "${WINDOWS_BINARY_DIR}/tests/wine_tests.exe")

add_test(NAME wine.session.start COMMAND ${WINE_RUNNER} start ${WINE_STATE})
set_tests_properties(wine.session.start PROPERTIES FIXTURES_SETUP wine LABELS wine COST 1000)
add_test(NAME wine.session.stop COMMAND ${WINE_RUNNER} stop ${WINE_STATE})
set_tests_properties(wine.session.stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine)
# The suites mostly wait (the spooler, the screen, the program's own pauses),
# so they share the work out between two sessions, each with a prefix of its
# own from the first one's template, on its screen; within a session one
# suite at a time, since the prefix's spooler and registry are shared.
set(WINE_STATE_2 "${WINE_STATE}/second")
add_test(NAME wine.session2.start COMMAND ${WINE_RUNNER} start ${WINE_STATE_2} ${WINE_STATE})
set_tests_properties(wine.session2.start PROPERTIES FIXTURES_REQUIRED wine FIXTURES_SETUP wine2 LABELS wine
  COST 1000)
add_test(NAME wine.session2.stop COMMAND ${WINE_RUNNER} stop ${WINE_STATE_2})
set_tests_properties(wine.session2.stop PROPERTIES FIXTURES_REQUIRED wine FIXTURES_CLEANUP wine2 LABELS wine)

file(GLOB WINE_SUITE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/tests/shared/*.cpp
  ${CMAKE_SOURCE_DIR}/tests/sim/*.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/*.cpp)
set(WINE_SUITES "")
foreach(source ${WINE_SUITE_SOURCES})
  file(STRINGS ${source} lines REGEX "^(TEST|TEST_F|TEST_P)\\(")
  foreach(line ${lines})
    string(REGEX REPLACE "^TEST(_F|_P)?\\(([A-Za-z0-9_]+),.*" "\\2" suite "${line}")
    list(APPEND WINE_SUITES ${suite})
  endforeach()
endforeach()
list(REMOVE_DUPLICATES WINE_SUITES)
set(session 1)
foreach(suite ${WINE_SUITES})
  if(session EQUAL 1)
    add_test(NAME wine.${suite}
      COMMAND ${WINE_RUNNER} run ${WINE_STATE} ${WINE_TEST_EXE} "--gtest_filter=${suite}.*:*/${suite}.*")
    set_tests_properties(wine.${suite} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wineprefix)
    set(session 2)
  else()
    add_test(NAME wine.${suite}
      COMMAND ${WINE_RUNNER} run ${WINE_STATE_2} ${WINE_TEST_EXE} "--gtest_filter=${suite}.*:*/${suite}.*")
    set_tests_properties(wine.${suite} PROPERTIES FIXTURES_REQUIRED "wine;wine2" RESOURCE_LOCK wineprefix2)
    set(session 1)
  endif()
  # Ahead of the native tests, which need no Wine and fill the waits.
  set_tests_properties(wine.${suite} PROPERTIES LABELS wine TIMEOUT 300 SKIP_RETURN_CODE 77 COST 100)
endforeach()

# The wizard's layout on scaled screens: the suite runs above at Wine's
# 96 dots per inch, and here at 144 and 192 (150 and 200 per cent), alone in
# the first session, since the setting is the prefix's.
foreach(dpi 144 192)
  add_test(NAME wine.ScaledLayout.${dpi}
    COMMAND env WINE_DPI=${dpi} LAYOUT_DPI=${dpi} ${WINE_RUNNER} run ${WINE_STATE} ${WINE_TEST_EXE}
      "--gtest_filter=ScaledLayout.*")
  set_tests_properties(wine.ScaledLayout.${dpi} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wineprefix
    LABELS wine TIMEOUT 300 COST 100)
endforeach()

# End to end: the real setup.exe on the sample medium, each scenario in a
# prefix of its own on the session's screen, two at a time beside the rest.
set(E2E_RUNNER "${CMAKE_SOURCE_DIR}/tests/e2e/run.sh")
set(E2E_DRIVER "${WINDOWS_BINARY_DIR}/tests/e2e_driver.exe")
set(E2E_SCENARIOS
  win2k:Parallel win2k:Serial win2k:UsbTypical
  winxp:Parallel winxp:Serial winxp:SerialOverAnOlderMonitor winxp:UsbTypical
  winxp:UsbTypicalWithoutPrinter winxp:UsbAdvancedNumberChanged winxp:UsbAdvancedWithoutPrinter
  winxp:UsbTwoPrinters winxp:UsbKpxD7
  win2003:Parallel win2003:UsbAdvancedNumberChanged
  vista:Parallel vista:SerialOverAnOlderMonitor
  win2008:Parallel win2008:UsbTypical
  win7:Parallel win7:SerialOverAnOlderMonitor win7:UsbTypical
  win8:QuietParallel win81:Parallel win81:QuietUsb win10:UsbTypical win10:QuietWindows10
  win98:Refused winme:Refused nt40:Refused
  winxp:QuietParallel winxp:QuietSerial winxp:QuietUsb win7:QuietParallel win7:QuietSerial win7:QuietUsb
  nt40:QuietRefused winxp:QuietWithoutAgreement winxp:QuietUsbAdvancedWithoutPrinter winxp:QuietBadArguments
  winxp:QuietFromAnotherFolder winxp:PlantedLibraries win7:PlantedLibraries winxp:QuietAfterABadOption
  winxp:QuietUsage winxp:UsageBesidePlantedLibraries win7:UsageBesidePlantedLibraries
  winxp:QuietUsbInstallerStopsToAsk
  winxp:RemoveAfterTheWizard win7:RemoveAfterTheWizard winxp:RemoveAfterAQuietUsbInstallation
  winxp:RemoveOneOfTwoModels winxp:RemoveWhatIsNotInstalled winxp:RemoveBesideAnotherProductsDriver
  winxp:PackageInstall win7:PackageInstall winxp:PackageUnknownModel winxp:PackageIntoAFolderOthersMayWrite
  winxp:PackageUnderAFolderOthersMayRename winxp:PackageRemoval win7:PackageRemoval
  winxp:PackageUpgrade
  winxp:QuietParallelTwice winxp:QuietSerialTwice winxp:QuietUsbTwice win7:QuietParallelTwice
  winxp:QuietUpdateFromANewerMedium winxp:QueryBeforeInstallation winxp:QueryAfterInstallation
  winxp:QueryOverAnOlderInstallation)
# On 64-bit Windows (a WoW64 prefix; its template is made the first time one
# of these runs): the program's start, log and command line; the wizard for a
# parallel, a serial and a USB printer; quiet installations on 7, 8.1 and 10,
# a removal, the package's installation and removal; and the refusals of a
# medium without X64, of a 32-bit file in X64 and of an incomplete USBDrv\X64.
list(APPEND E2E_SCENARIOS
  win10x64:QuietUsage win10x64:QuietUsbWithoutX64Catalog
  win10x64:Parallel win10x64:Serial win10x64:UsbTypical
  win10x64:QuietX64 win81x64:QuietX64 win7x64:QuietX64 win10x64:QuietUsb
  win10x64:RemoveAfterAQuietUsbInstallation win10x64:PackageInstall win10x64:PackageRemoval
  win10x64:QuietWithoutX64 win10x64:QuietWrongArchitecture win10x64:QuietParallelTwice)
# The installations by the keyboard alone, each on a screen of its own.
list(APPEND E2E_SCENARIOS winxp:KeyboardParallel winxp:KeyboardUsbNumberChanged)
foreach(entry ${E2E_SCENARIOS})
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 windows)
  list(GET parts 1 scenario)
  add_test(NAME e2e.${windows}.${scenario}
    COMMAND ${E2E_RUNNER} ${WINE_STATE} ${E2E_DRIVER} ${CMAKE_BINARY_DIR}/medium ${windows} ${scenario})
  set_tests_properties(e2e.${windows}.${scenario} PROPERTIES FIXTURES_REQUIRED wine LABELS e2e TIMEOUT 300
    COST 200)
endforeach()

# setup.exe and every program and library on the medium must load on each
# Windows they must at least start on, in the shipped build and unoptimised.
add_test(NAME native.medium.EveryProgramLoadsOnEveryWindows
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-pe.sh ${CMAKE_SOURCE_DIR}/tests/data/windows-imports.tsv
    ${CMAKE_BINARY_DIR}/medium)
add_test(NAME native.medium.TheUnoptimisedProgramLoadsOnEveryWindows
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-pe.sh ${CMAKE_SOURCE_DIR}/tests/data/windows-imports.tsv
    ${WINDOWS_DEBUG_DIR}/app/setup.exe)
# setup.exe imports only DLLs that Windows never takes from the program's folder.
add_test(NAME native.medium.TheProgramImportsOnlyProtectedDlls
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-pe.sh --dlls ${CMAKE_SOURCE_DIR}/tests/data/setup-dlls.tsv
    ${CMAKE_SOURCE_DIR}/tests/data/windows-imports.tsv ${CMAKE_BINARY_DIR}/medium/setup.exe
    ${WINDOWS_DEBUG_DIR}/app/setup.exe)
# The medium's program is the optimised build without its debug sections.
add_test(NAME native.medium.TheProgramIsUnderOneMebibyte
  COMMAND sh -c "size=$(stat -c %s \"$1\") && echo \"$size bytes\" && [ \"$size\" -lt 1048576 ]" _
    ${CMAKE_BINARY_DIR}/medium/setup.exe)
set_tests_properties(native.medium.EveryProgramLoadsOnEveryWindows
  native.medium.TheUnoptimisedProgramLoadsOnEveryWindows native.medium.TheProgramImportsOnlyProtectedDlls
  native.medium.TheProgramIsUnderOneMebibyte
  PROPERTIES LABELS native)
