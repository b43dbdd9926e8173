#pragma once

#include <QFrame>

class QSplitter;
class QvSNMPRequest2Edits;
class TConfigForm;
class TCtrlBtnPanel;
class TEditsPanel;
class TMsgPanel;

// One binding's panel of a configuration form: the content on the left with the message
// memo below it, the button column on the right, with splitters between them.
class TSNMPPanel : public QFrame {
    Q_OBJECT
public:
    TSNMPPanel(TConfigForm* form, QvSNMPRequest2Edits* binding);

    QvSNMPRequest2Edits* Binding() const { return m_binding; }
    // The binding is going away: the panel and its content stop using it.
    virtual void ForgetBinding();
    TConfigForm* Form() const { return m_form; }

    TCtrlBtnPanel* CtrlBtnPanel = nullptr;
    TMsgPanel* MsgPanel = nullptr;
    QWidget* Content() const { return m_content; }

    // The size that shows the content unscrolled, the memo and the whole button column.
    virtual QSize PanelSize() const = 0;
    // Gives the button column and the memo their sizes inside the panel as it is now.
    void PlaceSplitters();

    // "Refresh": the binding reads its variables again.
    void RefreshClick();
    // "Close": the form closes.
    void CloseClick();

protected:
    // The splitters learn their own sizes only when shown: the sizes of the button column
    // and the memo are given again then.
    void showEvent(QShowEvent* event) override;
    // Puts the content panel above the memo.
    void SetContent(QWidget* content);
    int SplitterWidth() const;

    QvSNMPRequest2Edits* m_binding = nullptr;

private:
    TConfigForm* m_form = nullptr;
    QSplitter* m_rightSplitter = nullptr;   // between the client side and the button column
    QSplitter* m_bottomSplitter = nullptr;  // between the content and the memo
    QWidget* m_content = nullptr;
    bool m_placedOnShow = false;
};

// The panel of a scalar list: one row per variable, edited in place and written by
// "Set Checked".
class TSNMPEditorPanel : public TSNMPPanel {
    Q_OBJECT
public:
    TSNMPEditorPanel(TConfigForm* form, QvSNMPRequest2Edits* binding);

    TEditsPanel* EditsPanel = nullptr;

    void ForgetBinding() override;
    QSize PanelSize() const override;
};
