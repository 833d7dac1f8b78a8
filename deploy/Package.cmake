# The Windows Installer package of the sample medium, made with msitools on
# the build machine once the Windows program part has built the medium and
# the custom actions: <build>/PrinterDriverSetup.msi. Its version follows
# setup.exe's version resource; a new version needs a new product code.
set(PACKAGE_VERSION 1.0.0)
set(PACKAGE_PRODUCT_CODE 4D084249-FAD0-46A7-BA92-F2E10A37ABA8)
set(PACKAGE_FILE "${CMAKE_BINARY_DIR}/PrinterDriverSetup.msi")
# A later version of the same package, for the test of a major upgrade.
set(PACKAGE_NEXT_FILE "${TESTDATA_DIR}/PrinterDriverSetup-next.msi")
set(PACKAGE_ACTIONS "${WINDOWS_PROGRAM_DIR}/deploy/SetupAction.dll")
find_program(WIXL wixl REQUIRED)
find_program(MSIBUILD msibuild REQUIRED)
# The medium's setup.exe and the custom actions come signed from the
# Windows build; the packages are signed as they are made.
add_custom_target(package ALL
  COMMAND "${CMAKE_SOURCE_DIR}/deploy/build-package.sh" "${CMAKE_BINARY_DIR}/medium" "${PACKAGE_ACTIONS}"
    ${PACKAGE_VERSION} ${PACKAGE_PRODUCT_CODE} "${PACKAGE_FILE}"
  COMMAND "${CMAKE_SOURCE_DIR}/scripts/sign.sh" "${PACKAGE_FILE}" "${SIGNING_DIR}"
  COMMAND "${CMAKE_SOURCE_DIR}/deploy/build-package.sh" "${CMAKE_BINARY_DIR}/medium" "${PACKAGE_ACTIONS}"
    1.0.1 7D09E5F4-AAAC-4153-8A47-D776315F4AD1 "${PACKAGE_NEXT_FILE}"
  COMMAND "${CMAKE_SOURCE_DIR}/scripts/sign.sh" "${PACKAGE_NEXT_FILE}" "${SIGNING_DIR}"
  DEPENDS windows-program
  COMMENT "Making the Windows Installer package PrinterDriverSetup.msi"
  VERBATIM)
add_test(NAME native.package.TheRollbackTakesOffOnlyWhatSetupInstalled
  COMMAND "${CMAKE_SOURCE_DIR}/deploy/check-rollback.sh" "${PACKAGE_FILE}")
set_tests_properties(native.package.TheRollbackTakesOffOnlyWhatSetupInstalled PROPERTIES LABELS native)
add_test(NAME native.package.TheInstallationFolderBelongsToTheAdministrators
  COMMAND "${CMAKE_SOURCE_DIR}/deploy/check-permissions.sh" "${PACKAGE_FILE}")
set_tests_properties(native.package.TheInstallationFolderBelongsToTheAdministrators PROPERTIES LABELS native)
add_test(NAME native.package.TheFolderPathIsCheckedBeforeAnythingIsWritten
  COMMAND "${CMAKE_SOURCE_DIR}/deploy/check-folder-order.sh" "${PACKAGE_FILE}")
set_tests_properties(native.package.TheFolderPathIsCheckedBeforeAnythingIsWritten PROPERTIES LABELS native)
# What the build ships is signed, the signatures match the files, the
# package carries the signed setup.exe, and a changed byte is found.
set(SIGNED_FILES "${CMAKE_BINARY_DIR}/medium/setup.exe" "${PACKAGE_ACTIONS}" "${PACKAGE_FILE}")
add_test(NAME native.signing.WhatIsShippedIsSigned
  COMMAND "${CMAKE_SOURCE_DIR}/deploy/check-signatures.sh" signed "${SIGNING_DIR}" ${SIGNED_FILES})
add_test(NAME native.signing.ThePackageCarriesTheSignedProgram
  COMMAND "${CMAKE_SOURCE_DIR}/deploy/check-signatures.sh" packaged "${SIGNING_DIR}" "${PACKAGE_FILE}"
    "${CMAKE_BINARY_DIR}/medium/setup.exe")
add_test(NAME native.signing.AChangedByteFailsVerification
  COMMAND "${CMAKE_SOURCE_DIR}/deploy/check-signatures.sh" changed "${SIGNING_DIR}" ${SIGNED_FILES})
set_tests_properties(native.signing.WhatIsShippedIsSigned native.signing.ThePackageCarriesTheSignedProgram
  native.signing.AChangedByteFailsVerification PROPERTIES LABELS native)
