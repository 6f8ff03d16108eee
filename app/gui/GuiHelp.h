#pragma once

// What quillmoth says about its command line: --help shows it, and the
// manual page is made from it.

#include "app/cli/CliCommand.h"

#include <QString>

#include <vector>

namespace gui {

QString description();
// Options in --help's own form: "--library <path>".
const std::vector<cli::CommandOption>& options();
const std::vector<cli::ExitStatus>& exitStatuses();

} // namespace gui
