#include "app/docs/Completion.h"

#include <QRegularExpression>

namespace docs {

using namespace Qt::StringLiterals;

namespace {

QStringList spellings(const cli::CommandOption& option) {
    return option.name.split(u", "_s);
}

// What to offer for the value of an option: files, folders or nothing (a
// number or a name the user types).
QString valueAction(const QString& value) {
    static const QRegularExpression folder(u"^<?(dir|folder)>?$"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression file(u"^<?(path|file|image)>?$"_s,
                                         QRegularExpression::CaseInsensitiveOption);
    if (folder.match(value).hasMatch())
        return u"_filedir -d; return"_s;
    if (file.match(value).hasMatch())
        return u"_filedir; return"_s;
    return u"return"_s;
}

// "case $prev in ... esac" for the options that take a value.
QString valueCases(const std::vector<cli::CommandOption>& options, const QString& indent) {
    QString text;
    for (const cli::CommandOption& option : options)
        if (!option.value.isEmpty())
            text += indent + u"    "_s + spellings(option).join(u'|') + u") "_s +
                    valueAction(option.value) + u" ;;\n"_s;
    return text.isEmpty() ? QString() : indent + u"case $prev in\n"_s + text + indent + u"esac\n"_s;
}

QString names(const std::vector<cli::CommandOption>& options) {
    QStringList all;
    for (const cli::CommandOption& option : options)
        all += spellings(option);
    return all.join(u' ');
}

// Whether the command's own arguments (outside its options) name a file.
bool takesFiles(const cli::Command& command) {
    QString arguments = command.arguments;
    arguments.remove(QRegularExpression(u"\\[[^\\]]*\\]"_s));
    return arguments.contains(QRegularExpression(u"\\b(IMAGE|PATH|DIR|FILE)\\b"_s));
}

} // namespace

QString bashCompletion(const QString& program, const std::vector<cli::CommandOption>& globals,
                       const std::vector<cli::Command>& commands) {
    QString function = u"_"_s + program;
    function.replace(u'-', u'_');
    QString text = u"# bash completion for %1, made from its own option tables.\n"
                   u"%2()\n{\n"
                   u"    local cur prev words cword\n"
                   u"    _init_completion || return\n\n"_s.arg(program, function);
    QStringList skipped; // options whose value is the next word
    for (const cli::CommandOption& option : globals)
        if (!option.value.isEmpty())
            skipped += spellings(option);
    if (commands.empty()) {
        text += valueCases(globals, u"    "_s) +
                u"    COMPREPLY=($(compgen -W '%1' -- \"$cur\"))\n"_s.arg(names(globals));
    } else {
        QStringList commandNames;
        for (const cli::Command& command : commands)
            commandNames += command.name;
        text += u"    local i command=\n"
                u"    for ((i = 1; i < cword; i++)); do\n"
                u"        case ${words[i]} in\n"_s;
        if (!skipped.isEmpty())
            text += u"            "_s + skipped.join(u'|') + u") ((i++)) ;;\n"_s;
        text += u"            -*) ;;\n"
                u"            *) command=${words[i]}; break ;;\n"
                u"        esac\n"
                u"    done\n\n"
                u"    if [[ -z $command ]]; then\n"_s +
                valueCases(globals, u"        "_s) +
                u"        if [[ $cur == -* ]]; then\n"
                u"            COMPREPLY=($(compgen -W '%1' -- \"$cur\"))\n"
                u"        else\n"
                u"            COMPREPLY=($(compgen -W '%2' -- \"$cur\"))\n"
                u"        fi\n"
                u"        return\n"
                u"    fi\n\n"
                u"    local options= files=\n"
                u"    case $command in\n"_s.arg(names(globals), commandNames.join(u' '));
        for (const cli::Command& command : commands) {
            std::vector<cli::CommandOption> options = cli::allOptions(command);
            options.push_back({u"--help"_s, {}, {}});
            text += u"        "_s + command.name + u")\n"_s;
            text += u"            options='"_s + names(options) + u"'\n"_s;
            if (takesFiles(command))
                text += u"            files=1\n"_s;
            text += valueCases(options, u"            "_s);
            text += u"            ;;\n"_s;
        }
        text += u"    esac\n"
                u"    if [[ $cur == -* ]]; then\n"
                u"        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
                u"    elif [[ -n $files ]]; then\n"
                u"        _filedir\n"
                u"    fi\n"_s;
    }
    text += u"} &&\n    complete -F %1 %2\n"_s.arg(function, program);
    return text;
}

} // namespace docs
