#include "app/cli/CliHelp.h"

#include <QRegularExpression>

namespace cli {

using namespace Qt::StringLiterals;

namespace {

constexpr int lineWidth = 79;

// "  --name VALUE   description", the descriptions in one column.
QString optionLines(const std::vector<CommandOption>& options) {
    QString text;
    for (const CommandOption& option : options) {
        const QString term =
            option.value.isEmpty() ? option.name : option.name + u' ' + option.value;
        const QString description =
            option.description.isEmpty() ? u"see the synopsis"_s : option.description;
        constexpr int column = 24;
        QString line = u"  "_s + term;
        line = line.size() < column ? line.leftJustified(column)
                                    : line + u"\n"_s + QString(column, u' ');
        text += line + wrapped(description, lineWidth - column, column) + u'\n';
    }
    return text;
}

} // namespace

const std::vector<CommandOption>& globalOptions() {
    static const std::vector<CommandOption> options = {
        {u"--library"_s, u"PATH"_s,
         u"a music folder or a library XML file (default: the user's music folder)"_s},
        {u"--data-folder"_s, u"DIR"_s,
         u"where the engine keeps its index, downloaded artwork and removed pictures (default: "
         u"~/.local/share/Tarnwick/Quillmoth/Library)"_s},
        {u"--verbose"_s,
         {},
         u"also let Qt's own diagnostics through to standard error, as %1=1 does"_s.arg(
             QLatin1StringView(VerboseVariable))},
        {u"-h, --help"_s, {}, u"show this usage; after a COMMAND, that command's help"_s},
        {u"--version"_s, {}, u"print the program's name and version"_s},
    };
    return options;
}

const Command* findCommand(const QString& name) {
    for (const Command& command : commandTable())
        if (command.name == name)
            return &command;
    return nullptr;
}

QString synopsis(const QString& rest) {
    return u"quillmoth-cli [--library PATH] [--data-folder DIR] [--verbose] "_s + rest;
}

QString commandCall(const Command& command) {
    return command.arguments.isEmpty() ? command.name : command.name + u' ' + command.arguments;
}

QString usageText() {
    QString text = u"Usage: "_s + synopsis(u"COMMAND [ARGUMENTS]"_s) + u"\n       "_s +
                   u"quillmoth-cli COMMAND --help\n\n"_s + optionLines(globalOptions()) +
                   u"\nCommands:\n"_s;
    for (const Command& command : commandTable())
        text += u"  "_s + commandCall(command).leftJustified(36) + u' ' + command.summary + u'\n';
    return text;
}

QString commandHelp(const Command& command) {
    QString text = wrapped(u"Usage: "_s + synopsis(commandCall(command)), lineWidth - 7, 7) +
                   u"\n\n"_s + wrapped(command.summary, lineWidth, 0) + u"\n"_s;
    const std::vector<CommandOption> options = allOptions(command);
    if (!options.empty())
        text += u"\nOptions:\n"_s + optionLines(options);
    if (!command.output.isEmpty())
        text += u"\nOutput: "_s + wrapped(command.output, lineWidth - 8, 8) + u'\n';
    text += u"\nExit status:\n"_s;
    for (const ExitStatus& status : exitStatuses(command))
        text += u"  "_s + QString::number(status.code) + u"  "_s +
                wrapped(status.meaning, lineWidth - 5, 5) + u'\n';
    return text;
}

QString versionText() {
    return u"quillmoth-cli "_s + QStringLiteral(QUILLMOTH_VERSION) + u'\n';
}

QString wrapped(const QString& text, int width, int indent) {
    QString result;
    int column = 0;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (column > 0 && column + 1 + word.size() > width) {
            result += u'\n' + QString(indent, u' ');
            column = 0;
        } else if (column > 0) {
            result += u' ';
            ++column;
        }
        result += word;
        column += int(word.size());
    }
    return result;
}

} // namespace cli
