#include "configform/TSNMPPanel.h"

#include "binding/Controls.h"
#include "platform/Dialogs.h"
#include "platform/ExceptionGuard.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "configform/TConfigForm.h"
#include "configform/TCtrlBtnPanel.h"
#include "configform/TEditsPanel.h"
#include "configform/TMsgPanel.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSplitter>

#include <exception>

namespace {

constexpr int kSplitterWidth = 3;

} // namespace

TSNMPPanel::TSNMPPanel(TConfigForm* form, QvSNMPRequest2Edits* binding)
    : QFrame(form), m_binding(binding), m_form(form)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_rightSplitter = new QSplitter(Qt::Horizontal, this);
    m_rightSplitter->setObjectName("RightSplitter");
    m_rightSplitter->setHandleWidth(kSplitterWidth);
    m_rightSplitter->setChildrenCollapsible(false);
    layout->addWidget(m_rightSplitter);

    m_bottomSplitter = new QSplitter(Qt::Vertical, m_rightSplitter);
    m_bottomSplitter->setObjectName("BottomSplitter");
    m_bottomSplitter->setHandleWidth(kSplitterWidth);
    m_bottomSplitter->setChildrenCollapsible(false);
    MsgPanel = new TMsgPanel(m_bottomSplitter);
    CtrlBtnPanel = new TCtrlBtnPanel(m_rightSplitter);
    // The client side takes what the form gains; the buttons and the memo keep their size.
    m_rightSplitter->setStretchFactor(0, 1);
    m_rightSplitter->setStretchFactor(1, 0);

    if (m_binding)
        m_binding->SetStatusSink(MsgPanel->Memo);

    connect(CtrlBtnPanel->Bt_Refresh, &QPushButton::clicked, this, [this] { RunGuarded([this] { RefreshClick(); }, m_form); });
    connect(CtrlBtnPanel->Bt_Close, &QPushButton::clicked, this, [this] { RunGuarded([this] { CloseClick(); }, m_form); });
}

void TSNMPPanel::SetContent(QWidget* content)
{
    m_content = content;
    m_bottomSplitter->insertWidget(0, content);
    m_bottomSplitter->setStretchFactor(0, 1);
    m_bottomSplitter->setStretchFactor(1, 0);
}

int TSNMPPanel::SplitterWidth() const { return m_rightSplitter->handleWidth(); }

void TSNMPPanel::PlaceSplitters()
{
    const int buttonsWidth = CtrlBtnPanel->ColumnWidth();
    m_rightSplitter->setSizes({std::max(0, width() - buttonsWidth - SplitterWidth()), buttonsWidth});
    const int memoHeight = TMsgPanel::kHeight;
    m_bottomSplitter->setSizes({std::max(0, height() - memoHeight - SplitterWidth()), memoHeight});
}

void TSNMPPanel::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    if (!m_placedOnShow) {
        m_placedOnShow = true;
        PlaceSplitters();
    }
}

void TSNMPPanel::ForgetBinding() { m_binding = nullptr; }

void TSNMPPanel::RefreshClick()
{
    if (!m_binding)
        return;
    try {
        m_binding->Get();
    } catch (const std::exception& error) {
        m_binding->ShowStatus(error.what());
    }
}

void TSNMPPanel::CloseClick()
{
    try {
        // The bindings go first, here, where a failure can still be told to the user.
        m_form->FormClose();
        m_form->close();
    } catch (...) {
        Dialogs::message(m_form, "Please initial close form", ExecutableName(), DialogButtons::Ok);
    }
}

TSNMPEditorPanel::TSNMPEditorPanel(TConfigForm* form, QvSNMPRequest2Edits* binding) : TSNMPPanel(form, binding)
{
    setObjectName("EditorPanel");
    EditsPanel = new TEditsPanel(binding, this);
    SetContent(EditsPanel);
    EditsPanel->ArrangeCtrlBtn(*CtrlBtnPanel);

    TEditsPanel* edits = EditsPanel;
    QWidget* parent = form;
    connect(CtrlBtnPanel->Bt_SetChecked, &QPushButton::clicked, this,
            [edits, parent] { RunGuarded([edits] { edits->SetCheckedClick(); }, parent); });
    connect(CtrlBtnPanel->Bt_CheckAll, &QPushButton::clicked, this,
            [edits, parent] { RunGuarded([edits] { edits->CheckAllClick(); }, parent); });
    connect(CtrlBtnPanel->Bt_ClearChecks, &QPushButton::clicked, this,
            [edits, parent] { RunGuarded([edits] { edits->ClearChecksClick(); }, parent); });
}

void TSNMPEditorPanel::ForgetBinding()
{
    TSNMPPanel::ForgetBinding();
    EditsPanel->ForgetBinding();
}

QSize TSNMPEditorPanel::PanelSize() const
{
    const QSize content = EditsPanel->ContentSize();
    const int width = content.width() + CtrlBtnPanel->ColumnWidth() + SplitterWidth() + 3;
    const int height = content.height() + TMsgPanel::kHeight + SplitterWidth();
    return {width, std::max(height, CtrlBtnPanel->ColumnHeight())};
}
