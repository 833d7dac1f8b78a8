#include "app/CommandLine.h"

#include <cstdlib>
#include <vector>

#include "config/AsciiCase.h"

namespace app {
namespace {

// Splits as the C runtime does: blanks separate arguments, double quotes
// group, and a quote inside an argument may be written as two.
std::vector<std::string> splitArguments(const std::string& line) {
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false, any = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                current += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
            any = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) arguments.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) arguments.push_back(current);
    return arguments;
}

// A value out of a list of words, by its place; -1 when it is none of them.
int choice(const std::string& value, std::initializer_list<const char*> words) {
    int index = 0;
    for (const char* word : words) {
        if (config::equalIgnoringCase(value, word)) return index;
        ++index;
    }
    return -1;
}

// Whether an argument is an option of this command line, by its name.
bool isOptionName(const std::string& argument);

class Parser {
public:
    explicit Parser(const std::string& line) : arguments_(splitArguments(line)) {}
    CommandLine parse();

private:
    bool invalid(const std::string& why) {
        if (result_.action != CommandLine::kInvalid) {
            result_.action = CommandLine::kInvalid;
            result_.error = why;
        }
        return false;
    }
    // The option's value: the next argument, which must not be another option.
    bool value(const std::string& option, std::string* out) {
        if (next_ >= arguments_.size() || isOptionName(arguments_[next_]))
            return invalid(option + " needs a value");
        *out = arguments_[next_++];
        if (out->empty()) return invalid(option + " needs a value");
        return true;
    }
    // A value out of a list of words, by its place.
    bool word(const std::string& option, std::initializer_list<const char*> words, const char* what, int* out) {
        std::string text;
        if (!value(option, &text)) return false;
        *out = choice(text, words);
        return *out >= 0 || invalid(option + " takes " + what);
    }
    bool number(const std::string& option, long lowest, long highest, const char* what, long* out) {
        std::string text;
        if (!value(option, &text)) return false;
        char* end = nullptr;
        *out = std::strtol(text.c_str(), &end, 10);
        if (*end != '\0' || *out < lowest || *out > highest) return invalid(option + " takes " + what);
        return true;
    }
    bool option(const std::string& name);
    // An action that looks at one model's printers (the removal, the query)
    // takes only the options `allowed`, needs /model, and the port a printer
    // was installed on rather than "auto".
    template <size_t N>
    void checkModelAction(const char* action, const char* const (&allowed)[N]) {
        for (const std::string& given : given_) {
            bool known = false;
            for (const char* option : allowed) known = known || given == option;
            if (!known) invalid("/" + given + " does not go with /" + action);
        }
        if (result_.model.empty()) invalid(std::string("/") + action + " needs /model");
        else if (config::equalIgnoringCase(result_.port, "auto"))
            invalid(std::string("/") + action +
                    " takes the port a printer was installed on, or no /port for every port");
    }

    std::vector<std::string> arguments_;
    size_t next_ = 0;
    CommandLine result_;
    std::vector<std::string> given_;
    bool usage_ = false, onlyLog_ = true;
};

const char* const kOptions[] = {"?",        "help",     "quiet",  "accepteula", "default",    "raster",
                                "noraster", "restart",  "model",  "port",       "log",        "category",
                                "mode",     "baud",     "databits", "parity",   "stopbits",   "flow",
                                "usbid",    "usbtimeout", "uninstall", "query"};

// What a removal may be told besides /uninstall: which model's printers (on
// which port), and where to log.
const char* const kRemovalOptions[] = {"uninstall", "quiet", "model", "port", "category", "log"};
// What a query may be told: which model (on which port), and where to log.
const char* const kQueryOptions[] = {"query", "model", "port", "category", "log"};

std::string optionName(const std::string& argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return std::string();
    return config::lowerAscii(argument.substr(1));
}

bool isOptionName(const std::string& argument) {
    const std::string name = optionName(argument);
    for (const char* option : kOptions)
        if (name == option) return true;
    return false;
}

bool Parser::option(const std::string& name) {
    const std::string canonical = name == "help" ? "?" : name;
    for (const std::string& given : given_)
        if (given == canonical) return invalid("/" + name + " is given more than once");
    given_.push_back(canonical);
    if (name != "log") onlyLog_ = false;
    int index = 0;
    long count = 0;
    if (name == "?" || name == "help") {
        usage_ = true;
    } else if (name == "quiet") {
        result_.quiet = true;
    } else if (name == "accepteula") {
        result_.acceptEula = true;
    } else if (name == "default") {
        result_.defaultPrinter = true;
    } else if (name == "raster" || name == "noraster") {
        if (result_.raster >= 0) return invalid("/raster and /noraster exclude each other");
        result_.raster = name == "raster" ? 1 : 0;
    } else if (name == "restart") {
        result_.restart = true;
    } else if (name == "uninstall") {
        result_.uninstall = true;
    } else if (name == "query") {
        result_.query = true;
    } else if (name == "model" || name == "port" || name == "log") {
        std::string text;
        if (!value("/" + name, &text)) return false;
        (name == "model" ? result_.model : name == "port" ? result_.port : result_.logFile) = text;
    } else if (name == "category") {
        if (!word("/category", {"receipt", "ticket", "label", "embedded"}, "receipt, ticket, label or embedded",
                  &result_.category))
            return false;
    } else if (name == "mode") {
        if (!word("/mode", {"advanced", "typical"}, "typical or advanced", &result_.installMode)) return false;
    } else if (name == "baud") {
        if (!number("/baud", 1, 4000000, "a rate in bits per second", &count)) return false;
        result_.baudRate = static_cast<int>(count);
    } else if (name == "databits") {
        if (!word("/databits", {"5", "6", "7", "8"}, "5, 6, 7 or 8", &index)) return false;
        result_.dataBits = 5 + index;
    } else if (name == "parity") {
        if (!word("/parity", {"none", "even", "odd", "mark", "space"}, "none, even, odd, mark or space", &index))
            return false;
        result_.parity = "neoms"[index];
    } else if (name == "stopbits") {
        if (!word("/stopbits", {"1", "1.5", "2"}, "1, 1.5 or 2", &index)) return false;
        result_.stopBits = 1.0 + 0.5 * index;
    } else if (name == "flow") {
        if (!word("/flow", {"none", "xonxoff", "hardware"}, "none, xonxoff or hardware", &index)) return false;
        result_.flowControl = " xp"[index];
    } else if (name == "usbid") {
        if (!word("/usbid", {"keep", "change"}, "change or keep", &index)) return false;
        result_.changeUsbId = index == 1;
    } else if (name == "usbtimeout") {
        if (!number("/usbtimeout", 1, 86400, "a number of seconds from 1 to 86400", &count)) return false;
        result_.usbInstallerSeconds = static_cast<int>(count);
    } else {
        return invalid("unknown option /" + name);
    }
    return true;
}

CommandLine Parser::parse() {
    // Whatever else the line holds, nothing may be shown when it asks for quiet.
    // A query is a deployment tool's detection rule: it never shows anything either.
    for (const std::string& argument : arguments_)
        if (optionName(argument) == "quiet" || optionName(argument) == "query") result_.quiet = true;
    for (const std::string& argument : arguments_)
        if (optionName(argument) == "query") result_.query = true;
    while (next_ < arguments_.size()) {
        const std::string& argument = arguments_[next_++];
        const std::string name = optionName(argument);
        if (name.empty()) {
            invalid("unexpected argument " + argument);
            return result_;
        }
        if (!option(name)) return result_;
    }
    if (result_.query && !usage_) {
        result_.action = CommandLine::kQuery;
        checkModelAction("query", kQueryOptions);
    } else if (usage_) {
        result_.action = CommandLine::kUsage;
        // The usage is a box for a person; a quiet run answers its caller.
        if (result_.quiet) invalid("/? shows the usage in a box, which a quiet run never shows");
    } else if (result_.quiet && result_.uninstall) {
        result_.action = CommandLine::kRemove;
        checkModelAction("uninstall", kRemovalOptions);
    } else if (result_.quiet) {
        result_.action = CommandLine::kQuiet;
        if (result_.model.empty()) invalid("/quiet needs /model");
        else if (result_.port.empty()) invalid("/quiet needs /port");
    } else if (!onlyLog_) {
        // Options that answer the wizard's questions make sense only when
        // nobody is there to answer them.
        invalid("these options need /quiet");
    }
    return result_;
}

}  // namespace

CommandLine parseCommandLine(const std::string& line) { return Parser(line).parse(); }

const char* commandLineUsage() {
    return "setup.exe installs the printer driver with its wizard, or unattended:\r\n"
           "\r\n"
           "setup.exe /quiet /accepteula /model NAME /port PORT|auto\r\n"
           "    [/category receipt|ticket|label|embedded] [/mode typical|advanced]\r\n"
           "    [/default] [/raster|/noraster] [/baud N] [/databits 5|6|7|8]\r\n"
           "    [/parity none|even|odd|mark|space] [/stopbits 1|1.5|2]\r\n"
           "    [/flow none|xonxoff|hardware] [/usbid change|keep] [/usbtimeout SECONDS]\r\n"
           "    [/restart] [/log FILE]\r\n"
           "setup.exe /uninstall /quiet /model NAME [/port PORT] [/log FILE]\r\n"
           "setup.exe /query /model NAME [/port PORT] [/log FILE]\r\n"
           "\r\n"
           "/port auto takes the port the wizard would preselect. Without /accepteula a disc\r\n"
           "that shows a licence agreement does not install. A quiet installation logs\r\n"
           "every step, by default to %TEMP%\\PrinterDriverSetup.log.\r\n"
           "\r\n"
           "Exit codes: 0 installed (removed); 3010 the same, restart needed; 1603 failed;\r\n"
           "1605 nothing of the model to remove (/query: not installed); 1633 system or model\r\n"
           "not supported; /query: 1 installed, but older than this disc;\r\n"
           "1618 another copy running; 87 invalid command line.";
}

}  // namespace app
