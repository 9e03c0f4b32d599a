#include "app/command_line.h"

#include <vector>

namespace morvane::app {

namespace {

struct OptionRule {
  const char* name;
  const char* value;    // the value's name in the usage, nullptr for a flag
  QStringList choices;  // empty: any value
  const char* help;
};

struct CommandRule {
  Command command;
  const char* name;  // "" for the window
  const char* arguments;
  int minFiles;
  int maxFiles;
  const char* fileKinds;  // per argument, for completion: x workbook, p deck, f pdf, d folder
  const char* summary;
  std::vector<OptionRule> options;
};

const OptionRule kMode{"--mode",
                       "MODE",
                       {"title", "number"},
                       "title: each object on a new slide (page) titled with its slide title; "
                       "number: each object on the slide its slide number gives. Default: the mode "
                       "the workbook's registry keeps."};
const OptionRule kOrder{"--order",
                        "ORDER",
                        {"name", "sheet", "numerator"},
                        "The order the objects are taken in (default numerator)."};
const OptionRule kSaveWorkbook{"--save-workbook",
                               nullptr,
                               {},
                               "Save the workbook afterwards: its registry sheet, chart names "
                               "and the plan's edits. Without it the workbook file is never "
                               "written."};
const OptionRule kPlan{"--plan",
                       "FILE",
                       {},
                       "Per-object edits, as a user would make them in the window: a "
                       "tab-separated file with the header 'name sheet include title slide "
                       "paste_as', one row per object to change."};
const OptionRule kQuiet{
    "--quiet", nullptr, {}, "No progress line on a terminal (errors are always printed)."};

const std::vector<CommandRule>& commands() {
  static const std::vector<CommandRule> table{
      {Command::Gui,
       "",
       "[WORKBOOK [PRESENTATION]]",
       0,
       2,
       "xp",
       "Opens the window on WORKBOOK and PRESENTATION, asking for the files not given.",
       {}},
      {Command::List,
       "list",
       "WORKBOOK",
       1,
       1,
       "x",
       "Prints the workbook's objects in numerator order: name, sheet, include flag and "
       "numerator, tab-separated.",
       {{"--json", nullptr, {}, "Print the list as a JSON array of objects instead."},
        kSaveWorkbook}},
      {Command::Paste,
       "paste",
       "WORKBOOK PRESENTATION",
       2,
       2,
       "xp",
       "Pastes every included object into PRESENTATION (a new .pptx deck when the file does "
       "not exist), as the window's Paste to PowerPoint does, and saves it.",
       {kMode,
        {"--format",
         "FORMAT",
         {"emf", "bitmap", "svg"},
         "The picture format: emf (a vector metafile), bitmap (a PNG at twice 96 dpi, the "
         "default) or svg (an SVG, with a PNG for programs that cannot show it)."},
        kOrder,
        {"--labels",
         nullptr,
         {},
         "Write the workbook's path, the object's name and its sheet "
         "at the bottom of each slide."},
        kSaveWorkbook,
        kPlan,
        kQuiet}},
      {Command::Pdf,
       "pdf",
       "WORKBOOK [OUT.pdf]",
       1,
       2,
       "xf",
       "Writes every included object, a page each, into OUT.pdf (by default Morvane\u00a9.pdf "
       "in the documents folder), as the window's Create PDF does. The file is never opened.",
       {kMode,
        kOrder,
        {"--footer",
         nullptr,
         {},
         "A footer line naming the workbook, the object and its sheet "
         "on every page (the default)."},
        {"--no-footer", nullptr, {}, "No footer line."},
        {"--force", nullptr, {}, "Replace OUT.pdf even when it is not a PDF."},
        kSaveWorkbook,
        kPlan,
        kQuiet}},
      {Command::Export,
       "export",
       "WORKBOOK DIR",
       2,
       2,
       "xd",
       "Writes every object of the list, whatever its include flag, into DIR as an image file "
       "named after its sheet and name.",
       {{"--format",
         "FORMAT",
         {"png", "bitmap", "emf", "svg"},
         "png (or bitmap, the default), emf or svg."},
        kQuiet}},
      {Command::Refresh,
       "refresh",
       "WORKBOOK PRESENTATION",
       2,
       2,
       "xp",
       "Draws every object an earlier paste put into PRESENTATION again from WORKBOOK, in the "
       "format it was pasted in, where it stands: the user's position, size, crop, animations "
       "and notes stay. Objects the workbook no longer has, and included objects on no slide, "
       "are reported (exit 1).",
       {{"--dry-run", nullptr, {}, "Print what would change and write nothing."},
        {"--from",
         "NAME",
         {},
         "Refresh the objects pasted from the workbook file NAME (last month's file name) "
         "instead of WORKBOOK's own name."},
        {"--labels", nullptr, {}, "Give the source labels their text again (the default)."},
        {"--no-labels", nullptr, {}, "Leave the source labels as they are."},
        kQuiet}},
      {Command::Help, "help", "[COMMAND]", 0, 1, "", "Prints this help, or a command's.", {}},
  };
  return table;
}

const CommandRule* findCommand(const QString& name) {
  for (const CommandRule& c : commands())
    if (name == QLatin1String(c.name)) return &c;
  return nullptr;
}

const OptionRule* findOption(const CommandRule& command, const QString& name) {
  for (const OptionRule& o : command.options)
    if (name == QLatin1String(o.name)) return &o;
  return nullptr;
}

bool isHelp(const QString& a) { return a == QLatin1String("--help") || a == QLatin1String("-h"); }

QString optionSynopsis(const OptionRule& o) {
  QString text = QLatin1String(o.name);
  if (o.value)
    text += QLatin1Char(' ') +
            (o.choices.isEmpty() ? QLatin1String(o.value) : o.choices.join(QLatin1Char('|')));
  return QLatin1Char('[') + text + QLatin1Char(']');
}

QString synopsis(const CommandRule& c) {
  QStringList words{QStringLiteral("morvane")};
  if (*c.name) words << QLatin1String(c.name);
  words << QString::fromUtf8(c.arguments);
  for (const OptionRule& o : c.options) words << optionSynopsis(o);
  // Wrapped at 90 columns, continuation lines indented under the arguments.
  QString out, line;
  const QString indent(int(qstrlen("usage: morvane ")) + int(qstrlen(c.name)) + 1, u' ');
  for (const QString& w : words) {
    if (!line.isEmpty() && line.size() + 1 + w.size() > 90) {
      out += line + QLatin1Char('\n');
      line = indent;
    }
    line += (line.isEmpty() || line == indent ? QString() : QStringLiteral(" ")) + w;
  }
  return out + line + QLatin1Char('\n');
}

// `text` wrapped at 80 columns, every line indented by `indent` blanks.
QString wrapped(const QString& text, int indent) {
  QString out, line;
  for (const QString& word : text.split(QLatin1Char(' '))) {
    if (!line.isEmpty() && indent + line.size() + 1 + word.size() > 80) {
      out += QString(indent, u' ') + line + QLatin1Char('\n');
      line.clear();
    }
    line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
  }
  return out + QString(indent, u' ') + line + QLatin1Char('\n');
}

const char* const kExitStatuses =
    "0 done; 1 the tool refused (its message on stderr); 2 an input could not be read; 3 an "
    "output could not be written; 64 the command line was wrong (the usage on stderr).";

UsageError error(const CommandRule& c, const QString& message) {
  return {QLatin1String(c.name), message};
}

// Sets the option `o` (with `value` when it takes one) in `options`.
void apply(const OptionRule& o, const QString& value, CommandLine& line) {
  BatchOptions& options = line.options;
  const QString name = QLatin1String(o.name);
  if (name == QLatin1String("--mode"))
    options.mode = value;
  else if (name == QLatin1String("--format"))
    options.format = value == QLatin1String("bitmap") && line.command == Command::Export
                         ? QStringLiteral("png")
                         : value;
  else if (name == QLatin1String("--order"))
    options.order = value;
  else if (name == QLatin1String("--labels") || name == QLatin1String("--footer"))
    options.labels = true;
  else if (name == QLatin1String("--no-footer") || name == QLatin1String("--no-labels"))
    options.labels = false;
  else if (name == QLatin1String("--save-workbook"))
    options.saveWorkbook = true;
  else if (name == QLatin1String("--plan"))
    options.planFile = value;
  else if (name == QLatin1String("--json"))
    options.json = true;
  else if (name == QLatin1String("--force"))
    options.force = true;
  else if (name == QLatin1String("--quiet"))
    options.quiet = true;
  else if (name == QLatin1String("--dry-run"))
    options.dryRun = true;
  else if (name == QLatin1String("--from"))
    options.from = value;
}

std::variant<CommandLine, UsageError> parseCommand(const CommandRule& rule,
                                                   const QStringList& args) {
  CommandLine line;
  line.command = rule.command;
  bool optionsEnded = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (!optionsEnded && isHelp(a)) return CommandLine{Command::Help, QLatin1String(rule.name), {}};
    if (!optionsEnded && a == QLatin1String("--")) {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || !a.startsWith(QLatin1Char('-'))) {
      line.options.files << a;
      continue;
    }
    const qsizetype equals = a.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? a : a.left(equals);
    const OptionRule* option = a.startsWith(QLatin1String("--")) ? findOption(rule, name) : nullptr;
    if (!option) return error(rule, QStringLiteral("unknown option %1").arg(name));
    QString value;
    if (!option->value) {
      if (equals >= 0) return error(rule, QStringLiteral("%1 takes no value").arg(name));
    } else if (equals >= 0) {
      value = a.mid(equals + 1);
    } else if (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1Char('-'))) {
      value = args[++i];
    }
    if (option->value && value.isEmpty())
      return error(rule, QStringLiteral("%1 takes %2")
                             .arg(name, option->choices.isEmpty()
                                            ? QStringLiteral("a value")
                                            : option->choices.join(QStringLiteral(", "))));
    if (!option->choices.isEmpty() && !option->choices.contains(value))
      return error(rule, QStringLiteral("%1 takes %2, not %3")
                             .arg(name, option->choices.join(QStringLiteral(", ")), value));
    apply(*option, value, line);
  }
  const int files = int(line.options.files.size());
  if (files < rule.minFiles)
    return error(rule, QStringLiteral("missing %1")
                           .arg(QString::fromLatin1(rule.arguments)
                                    .split(QLatin1Char(' '))
                                    .mid(files, rule.minFiles - files)
                                    .join(QLatin1Char(' '))));
  if (files > rule.maxFiles)
    return error(rule,
                 QStringLiteral("unexpected argument %1").arg(line.options.files[rule.maxFiles]));
  if (rule.command == Command::Help) {
    line.topic = files ? line.options.files.front() : QString();
    if (!line.topic.isEmpty() && (!findCommand(line.topic) || line.topic == QLatin1String("help")))
      return error(rule, QStringLiteral("no command %1").arg(line.topic));
  }
  return line;
}

}  // namespace

std::variant<CommandLine, UsageError> parseCommandLine(const QStringList& args) {
  if (!args.isEmpty() && isHelp(args.front())) return CommandLine{Command::Help, {}, {}};
  if (!args.isEmpty() && args.front() == QLatin1String("--version"))
    return CommandLine{Command::Version, {}, {}};
  const CommandRule* rule = args.isEmpty() ? nullptr : findCommand(args.front());
  if (rule && *rule->name) return parseCommand(*rule, args.mid(1));
  return parseCommand(*findCommand(QString()), args);
}

QString versionText() {
  return QStringLiteral("morvane %1\n").arg(QStringLiteral(MORVANE_VERSION));
}

QString usageSummary(const QString& command) {
  const CommandRule* rule = findCommand(command);
  QString out = QStringLiteral("usage: ") + synopsis(*rule);
  out += QStringLiteral("Try 'morvane %1--help' for more.\n")
             .arg(command.isEmpty() ? QString() : command + QLatin1Char(' '));
  return out;
}

QString usageText(const QString& command) {
  QString out;
  for (const CommandRule& c : commands()) {
    if (!command.isEmpty() && command != QLatin1String(c.name)) continue;
    out += (out.isEmpty() ? QStringLiteral("usage: ") : QStringLiteral("       ")) + synopsis(c);
  }
  out += QLatin1Char('\n');
  for (const CommandRule& c : commands()) {
    if (!command.isEmpty() && command != QLatin1String(c.name)) continue;
    out += QStringLiteral("morvane %1%2\n")
               .arg(*c.name ? QLatin1String(c.name) + QLatin1Char(' ') : QString(),
                    QString::fromUtf8(c.arguments));
    out += wrapped(QString::fromUtf8(c.summary), 4);
    for (const OptionRule& o : c.options) {
      out += QStringLiteral("  %1%2\n")
                 .arg(QLatin1String(o.name),
                      o.value ? QLatin1Char(' ') + QLatin1String(o.value) : QString());
      out += wrapped(QString::fromUtf8(o.help), 6);
    }
    out += QLatin1Char('\n');
  }
  if (command.isEmpty())
    out += QStringLiteral(
        "  -h, --help   this help; morvane COMMAND --help, a command's\n"
        "  --version    the program's version\n\n");
  out += QStringLiteral("Exit status:\n") + wrapped(QString::fromUtf8(kExitStatuses), 2);
  return out;
}

QString manPage() {
  auto roff = [](QString text) {
    text.replace(QLatin1Char('\\'), QStringLiteral("\\e"))
        .replace(QLatin1Char('-'), QStringLiteral("\\-"));
    return text;
  };
  QString out = QStringLiteral(".TH MORVANE 1 \"\" \"morvane %1\" \"User Commands\"\n")
                    .arg(QStringLiteral(MORVANE_VERSION));
  out += QStringLiteral(
      ".SH NAME\nmorvane \\- turn a workbook's charts and named ranges into slide decks and "
      "PDFs\n");
  out += QStringLiteral(".SH SYNOPSIS\n");
  for (const CommandRule& c : commands())
    out += QStringLiteral(".br\n") + roff(synopsis(c).simplified()) + QLatin1Char('\n');
  out += QStringLiteral(
      ".SH DESCRIPTION\nMorvane\\(co lists every pasteable object of a workbook (embedded charts, "
      "chart "
      "sheets, visible named ranges), keeps their order in a very hidden registry sheet, "
      "and pastes the included ones into a presentation or writes them into a PDF.\n");
  out += QStringLiteral(".SH COMMANDS\n");
  for (const CommandRule& c : commands()) {
    out += QStringLiteral(".TP\n\\fBmorvane%1\\fR %2\n%3\n")
               .arg(*c.name ? QLatin1Char(' ') + QLatin1String(c.name) : QString(),
                    roff(QString::fromUtf8(c.arguments)), roff(QString::fromUtf8(c.summary)));
    for (const OptionRule& o : c.options)
      out +=
          QStringLiteral(".RS\n.TP\n\\fB%1\\fR%2\n%3\n.RE\n")
              .arg(roff(QLatin1String(o.name)),
                   o.value ? QStringLiteral(" \\fI%1\\fR").arg(QLatin1String(o.value)) : QString(),
                   roff(QString::fromUtf8(o.help)));
  }
  out += QStringLiteral(
      ".SH OPTIONS\n.TP\n\\fB\\-h\\fR, \\fB\\-\\-help\\fR\nThe usage; after a command, that "
      "command's.\n"
      ".TP\n\\fB\\-\\-version\\fR\nThe program's version.\n");
  out += QStringLiteral(".SH EXIT STATUS\n") + roff(QString::fromUtf8(kExitStatuses)) +
         QLatin1Char('\n');
  return out;
}

QString bashCompletion() {
  QString cases;
  for (const CommandRule& c : commands()) {
    if (!*c.name) continue;
    QStringList options{QStringLiteral("--help")};
    QString values;
    for (const OptionRule& o : c.options) {
      options << QLatin1String(o.name);
      if (o.value)
        values += QStringLiteral("        %1) %2; return ;;\n")
                      .arg(QLatin1String(o.name),
                           o.choices.isEmpty()
                               ? QStringLiteral("COMPREPLY=($(compgen -f -- \"$cur\"))")
                               : QStringLiteral("COMPREPLY=($(compgen -W \"%1\" -- \"$cur\"))")
                                     .arg(o.choices.join(QLatin1Char(' '))));
    }
    cases += QStringLiteral(
                 "    %1)\n      case $prev in\n%2      esac\n      opts=\"%3\"; kinds=%4 ;;\n")
                 .arg(QLatin1String(c.name), values, options.join(QLatin1Char(' ')),
                      QLatin1String(c.fileKinds));
  }
  QStringList names;
  for (const CommandRule& c : commands())
    if (*c.name) names << QLatin1String(c.name);
  return QStringLiteral(
             "# bash completion for morvane, written from its usage\n"
             "_morvane() {\n"
             "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} opts "
             "kinds=xp\n"
             "  local command=${COMP_WORDS[1]}\n"
             "  if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
             "    COMPREPLY=($(compgen -W \"%1 --help --version\" -- \"$cur\"))\n"
             "    [[ $cur != -* ]] && COMPREPLY+=($(compgen -f -X '!*.@(xlsx|xlsm)' -- \"$cur\") "
             "$(compgen -d -- \"$cur\"))\n"
             "    return\n"
             "  fi\n"
             "  case $command in\n%2"
             "    help) COMPREPLY=($(compgen -W \"%1\" -- \"$cur\")); return ;;\n"
             "  esac\n"
             "  if [[ $cur == -* ]]; then COMPREPLY=($(compgen -W \"$opts\" -- \"$cur\")); return; "
             "fi\n"
             "  local n=0 w; for w in \"${COMP_WORDS[@]:2:COMP_CWORD-2}\"; do [[ $w != -* ]] && "
             "n=$((n + 1)); done\n"
             "  case ${kinds:n:1} in\n"
             "    x) COMPREPLY=($(compgen -f -X '!*.@(xlsx|xlsm)' -- \"$cur\") $(compgen -d -- "
             "\"$cur\")) ;;\n"
             "    p) COMPREPLY=($(compgen -f -X '!*.@(pptx|pptm|potx)' -- \"$cur\") $(compgen -d "
             "-- \"$cur\")) ;;\n"
             "    f) COMPREPLY=($(compgen -f -X '!*.pdf' -- \"$cur\") $(compgen -d -- \"$cur\")) "
             ";;\n"
             "    d) COMPREPLY=($(compgen -d -- \"$cur\")) ;;\n"
             "  esac\n"
             "}\n"
             "shopt -s extglob\n"
             "complete -o filenames -F _morvane morvane\n")
      .arg(names.join(QLatin1Char(' ')), cases);
}

}  // namespace morvane::app
