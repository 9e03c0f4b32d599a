// The command line of `morvane`: its commands with their arguments and options, parsed before
// any Qt application exists (so help, version and usage errors need no display), and the
// usage text, manual page and bash completion, all written from one table.
#pragma once

#include <QString>
#include <QStringList>
#include <variant>

#include "app/batch_options.h"

namespace morvane::app {

enum class Command { Gui, List, Paste, Pdf, Export, Refresh, Help, Version };

struct CommandLine {
  Command command = Command::Gui;
  QString topic;  // Help: the command asked about ("" for all)
  BatchOptions options;
};

struct UsageError {
  QString command;  // "" for the program as a whole
  QString message;
};

// Parses the arguments after the program name. `--opt=value` and `--opt value` are the same;
// "--" ends the options; anything else that starts with "-" is an option, never a file name.
// A usage error names the command it belongs to.
std::variant<CommandLine, UsageError> parseCommandLine(const QStringList& args);

// `morvane --help` (empty `command`) or `morvane COMMAND --help`.
QString usageText(const QString& command = {});
// The short form printed with a usage error: the synopsis lines and where to read more.
QString usageSummary(const QString& command);
QString versionText();

// The manual page, morvane(1), in roff; and a bash completion script for the commands, their
// options and the files each argument takes.
QString manPage();
QString bashCompletion();

}  // namespace morvane::app
