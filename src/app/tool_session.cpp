#include "app/tool_session.h"

#include "pdf/main_window_wiring.h"
#include "registry/registry_edits.h"
#include "startup/start_tool.h"

namespace morvane::app {

ToolSession::ToolSession(FileSession& office, startup::MessageBoxes& messages,
                         startup::Desktop& desktop, std::function<void()> onEnd)
    : m_office(office), m_tool(office, messages, desktop) {
  m_tool.onEnd = std::move(onEnd);  // before the forms chain themselves in
  m_forms = std::make_unique<mainwindow::MainForms>(m_tool);
  m_registry = std::make_unique<paste::MainFormsRegistry>(*m_forms);
  m_paste = std::make_unique<paste::PasteCommands>(m_tool, m_registry.get());
  m_paste->setPresentationPath([this] {
    auto* host = m_office.presentationHost();
    return host ? host->path() : QString();
  });
  m_pdf = std::make_unique<pdf::PdfCommands>(m_tool, m_registry.get());
  mainwindow::UserFormObj::Commands commands;
  paste::wirePasteCommands(commands, *m_paste, *m_forms);
  pdf::wirePdfCommand(commands, *m_pdf, *m_forms);
  m_forms->setCommands(commands);
}

bool ToolSession::start() {
  m_forms->runUserCommand([this] { startup::StartTool(m_tool); });
  return !m_tool.ended() && mainWindow();
}

void ToolSession::writeListEdits() {
  if (auto* window = mainWindow()) m_tool.keptEdits = window->listEdits();
  if (m_tool.keptEdits && m_tool.workbook)
    registry::WriteListEdits(*m_tool.workbook, *m_tool.keptEdits);
}

bool ToolSession::run(const std::function<void()>& command) {
  m_forms->runUserCommand(command);
  return !m_tool.ended();
}

}  // namespace morvane::app
