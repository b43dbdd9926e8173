#include "configform/TConfigForm.h"

#include "binding/WindowAccess.h"
#include "binding/FormScale.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "configform/TEditsPanel.h"
#include "configform/TSNMPPanel.h"

#include <QVBoxLayout>

#include <exception>
#include <stdexcept>

TConfigForm::TConfigForm(QWidget* owner) : QDialog(owner)
{
    setObjectName("ConfigForm");
    m_bindings.OnRelease = [this](QvSNMPRequest2Controls& binding) {
        if (m_panel && m_panel->Binding() == &binding)
            m_panel->ForgetBinding();
        if (m_active == &binding)
            m_active = nullptr;
    };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Read once the form's event loop runs, after the page has set the form up.
    QMetaObject::invokeMethod(this, [this] { DeferredRefresh(); }, Qt::QueuedConnection);
    PrepareWindowAccessWhenShown(this);
}

TConfigForm::~TConfigForm()
{
    try {
        FormClose();
    } catch (...) {
        // Nothing can be told from a destructor; the bindings are gone either way.
    }
}

TSNMPEditorPanel* TConfigForm::AddEditorPanel(std::unique_ptr<QvSNMPRequest2Edits> binding)
{
    if (m_formType != kEmpty)
        throw std::runtime_error("Can not change Type of a Config Form!");
    QvSNMPRequest2Edits* added = binding.get();
    // Without a binding the panel refuses to arrange its buttons, and the form stays empty.
    auto panel = std::make_unique<TSNMPEditorPanel>(this, added);
    // A notifying exchange that fails reports only to its completion handler: without one
    // of the page's own, the failure goes to the memo like every other status line.
    for (QvSNMPRequest2Controls::DoneHandler* handler : {&added->OnGetDone, &added->OnSetDone})
        if (!*handler)
            *handler = [](QvSNMPRequest2Controls& done, const QvSNMPError& record) {
                if (record.code != 0)
                    done.ShowStatus(record.message);
            };
    m_bindings.Adopt(std::move(binding));
    m_formType = kEditor;
    m_panel = panel.release();
    layout()->addWidget(m_panel);
    fitToPanel();
    return static_cast<TSNMPEditorPanel*>(m_panel);
}

void TConfigForm::SetEditWidth(TSNMPEditorPanel* panel, int width)
{
    if (!panel)
        return;
    panel->EditsPanel->SetEditWidth(width);
    fitToPanel();
}

void TConfigForm::fitToPanel()
{
    if (!m_panel)
        return;
    const QSize wanted = m_panel->PanelSize();
    // The rows scroll inside the form once it would be larger than this (designed pixels,
    // scaled by the font as forms are).
    const QSize most = FormScale::ForFont(font()).Size(QSize(kMaxClientWidth, kMaxClientHeight));
    const QSize client(std::min(wanted.width(), most.width()), std::min(wanted.height(), most.height()));
    m_panel->resize(wanted);
    resize(client);
    m_panel->resize(client);
    m_panel->PlaceSplitters();
}

void TConfigForm::DeferredRefresh()
{
    if (m_closed || m_formType != kEditor || m_bindings.Empty())
        return;
    auto* first = static_cast<QvSNMPRequest2Edits*>(m_bindings.All().front().get());
    if (m_active && m_active != first)
        m_active->request.alive = false;
    first->request.alive = true;
    m_active = first;
    try {
        first->Get();
    } catch (const std::exception& error) {
        first->ShowStatus(error.what());
    }
}

void TConfigForm::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    m_bindings.Release();
}

void TConfigForm::done(int result)
{
    try {
        FormClose();
    } catch (...) {
        // The form closes regardless; its bindings are gone.
    }
    QDialog::done(result);
}
