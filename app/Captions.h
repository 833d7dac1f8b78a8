// Window titles and captions that the program itself spells, in the
// system's ANSI code page. The Chinese ones are GB2312 bytes: they are what
// the "A" calls see on a Chinese Windows, where the wizard is at home.
#pragma once

namespace app {

// The wizard's own title in its two languages; a second copy looks for them.
constexpr const char* kWizardTitle = "Printer Driver Setup";
constexpr const char* kWizardTitleChinese =  // 打印机驱动安装程序
    "\xb4\xf2\xd3\xa1\xbb\xfa\xc7\xfd\xb6\xaf\xb0\xb2\xd7\xb0\xb3\xcc\xd0\xf2";

// An open uninstaller, in its two languages.
constexpr const char* kUninstallerTitle = "Uninstall";
constexpr const char* kUninstallerTitleChinese =  // 打印机卸载程序
    "\xb4\xf2\xd3\xa1\xbb\xfa\xd0\xb6\xd4\xd8\xb3\xcc\xd0\xf2";

// Captions registered with the pages.
constexpr const char* kAgreementCaption =  // 阅读版权声明
    "\xd4\xc4\xb6\xc1\xb0\xe6\xc8\xa8\xc9\xf9\xc3\xf7";
constexpr const char* kPrinterCaption = "STEP 2\tSelect Install Module";
constexpr const char* kModeCaption =  // 选择安装模式
    "\xd1\xa1\xd4\xf1\xb0\xb2\xd7\xb0\xc4\xa3\xca\xbd";
constexpr const char* kOsCaption = "STEP 1\tSelect Install OS";
constexpr const char* kPortCaption = "STEP 3\tSet Printer Port and Confirm Setup";

// The face of the shared dialog font: 宋体.
constexpr const char* kChineseFontFace = "\xcb\xce\xcc\xe5";

}  // namespace app
