#pragma once

// The options of a table, given to QCommandLineParser, and found again by
// name once it has parsed; both programs read their options this way.

#include "app/cli/CliCommand.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <algorithm>
#include <vector>

namespace cli {

class ParserOptions {
public:
    // Adds every option of the table but those answering to a name of skip.
    ParserOptions(QCommandLineParser& parser, const std::vector<CommandOption>& table,
                  const QStringList& skip = {}) {
        for (const CommandOption& option : table) {
            const QStringList names = optionNameList(option);
            if (std::any_of(names.begin(), names.end(),
                            [&](const QString& name) { return skip.contains(name); }))
                continue;
            m_options.push_back(option.value.isEmpty()
                                    ? QCommandLineOption(names, option.description)
                                    : QCommandLineOption(names, option.description, option.value));
            parser.addOption(m_options.back());
        }
    }

    // The option answering to name; the table must hold it.
    const QCommandLineOption& operator[](const QString& name) const {
        const auto found =
            std::find_if(m_options.begin(), m_options.end(),
                         [&](const QCommandLineOption& o) { return o.names().contains(name); });
        Q_ASSERT(found != m_options.end());
        return *found;
    }

private:
    std::vector<QCommandLineOption> m_options;
};

} // namespace cli
