#pragma once

#include "binding/BindingOwner.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <vector>

class QvSNMPRequest2Edits;
class TSNMPEditorPanel;
class TSNMPPanel;

// A form that builds its controls from a binding's variable list: one row per variable,
// a button column and a message memo. It owns the bindings handed to it and reads the
// variables once its event loop runs.
class TConfigForm : public QDialog {
    Q_OBJECT
public:
    enum FormKind : uint8_t { kEmpty = 0, kEditor = 1 };

    static constexpr int kMaxClientWidth = 800;
    static constexpr int kMaxClientHeight = 550;

    explicit TConfigForm(QWidget* owner = nullptr);
    ~TConfigForm() override;

    uint8_t FormType() const { return m_formType; }
    // The binding the form last read through; none until the deferred refresh.
    QvSNMPRequest2Edits* ActiveBinding() const { return m_active; }
    const BindingOwner& Bindings() const { return m_bindings; }
    TSNMPPanel* Panel() const { return m_panel; }

    // Makes this an editor form over binding (which the form now owns). A form takes one
    // panel only: a second call throws "Can not change Type of a Config Form!".
    TSNMPEditorPanel* AddEditorPanel(std::unique_ptr<QvSNMPRequest2Edits> binding);
    // Widens every value control of the panel and fits the form again.
    void SetEditWidth(TSNMPEditorPanel* panel, int width);

    // What the form does once its event loop runs: the first binding becomes the active
    // one and reads its variables.
    void DeferredRefresh();
    // Ends the bindings: each stops sending, its exchange under way is waited for, then it
    // is destroyed. Runs when the form closes; nothing happens the second time.
    void FormClose();

    void done(int result) override;

private:
    void fitToPanel();

    uint8_t m_formType = kEmpty;
    BindingOwner m_bindings{this};
    QvSNMPRequest2Edits* m_active = nullptr;
    TSNMPPanel* m_panel = nullptr;
    bool m_closed = false;
};
