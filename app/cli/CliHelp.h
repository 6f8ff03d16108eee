#pragma once

// The texts quillmoth-cli shows about itself: the usage, each command's
// help and the version. The manual page and the shell completion are made
// from the same tables.

#include "app/cli/CliCommand.h"

#include <QString>

#include <vector>

namespace cli {

// The options that come before the command, as --help lists them; a name of
// the form "-h, --help" has a short form.
const std::vector<CommandOption>& globalOptions();

const Command* findCommand(const QString& name);

// Qt's own diagnostics (such as a missing runtime folder) say nothing about
// the command; they reach standard error with --verbose or with this
// variable set to anything but 0.
inline constexpr char VerboseVariable[] = "QUILLMOTH_VERBOSE";

// "quillmoth-cli [--library PATH] [--data-folder DIR] COMMAND ..." and the
// like: the program, the global options and what follows.
QString synopsis(const QString& rest);
// What follows the program for the command: its name and arguments.
QString commandCall(const Command& command);
QString usageText();
QString commandHelp(const Command& command);
QString versionText();

// Text broken into lines of at most width columns (words longer stay
// whole), each line after the first indented by indent spaces.
QString wrapped(const QString& text, int width, int indent);

} // namespace cli
