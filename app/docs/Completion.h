#pragma once

// The bash completion of a program, written from its option and command
// tables.

#include "app/cli/CliCommand.h"

#include <QString>

#include <vector>

namespace docs {

// Completes the global options (with files or folders for their values where
// the value is one), the command names when commands is not empty, then
// the chosen command's options and, where its arguments name files, files.
QString bashCompletion(const QString& program, const std::vector<cli::CommandOption>& globals,
                       const std::vector<cli::Command>& commands);

} // namespace docs
