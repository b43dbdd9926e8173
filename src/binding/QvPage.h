#pragma once

#include "binding/BindingOwner.h"
#include "binding/FormScale.h"
#include "binding/QvSNMPRequest2Controls.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QSet>

#include <functional>
#include <initializer_list>
#include <vector>

class QTimer;
class QvStatusBar;

// The base of every page: a dialog that owns its bindings and carries what every page would
// otherwise repeat. It releases the bindings when it closes (after their exchanges have
// ended), runs every handler through the exception guard, so a failure shows as a message box
// and never reaches the event loop, and never lets a handler run once the page is going.
//
// In the page's form file, status bars and radio groups are promoted widgets: class
// QvStatusBar (extends QStatusBar, header binding/QvStatusBar.h) and RadioGroup (extends
// QGroupBox, header binding/RadioGroup.h); edits, combo boxes, check boxes, labels, list views
// (QTreeWidget), memos (QPlainTextEdit) and page controls (QTabWidget) are Qt's own. Limit an
// edit's input with SetMaxLength (Controls.h), not QLineEdit::setMaxLength.
//
// A page is written as src/pages/README.md shows.
class QvPage : public QDialog {
    Q_OBJECT
public:
    explicit QvPage(QWidget* parent = nullptr);
    ~QvPage() override;

    // ---- window ----
    enum class Placement { ScreenCentre, OwnerCentre, AsDesigned };
    enum class Sizing { Fixed, Resizable };
    // Scales the form's design once by the font in use (FormScale), then gives it a fixed
    // single border at that size (or a sizeable border that starts at it), no maximise or
    // help button, placed when first shown. Call after setupUi.
    void SetUpWindow(Placement placement = Placement::ScreenCentre, Sizing sizing = Sizing::Fixed);
    // How the form's design was scaled: a page that places controls itself (resize rules,
    // rows that move) scales its designed distances by it.
    const FormScale& Scale() const { return m_scale; }

    // ---- bindings ----
    // A binding created with this page as its form, owned by the page.
    template <typename Binding>
    Binding& NewBinding()
    {
        return m_bindings.New<Binding>();
    }
    // Whether an exchange of one of the page's bindings is under way.
    bool AnyBindingBusy() const { return m_bindings.AnyBusy(); }
    // The opening reads of bindings that do not depend on each other, asked of the device
    // together (snmp/ReadTogether.h): called once they are made and configured, before their
    // Get()s, which then find their answers without asking. What FormCreate leaves untaken is
    // dropped when it ends, so a later read (Refresh) always asks the device.
    void ReadTogether(const std::vector<QvSNMPRequest2Controls*>& bindings);
    // Waits until no binding is busy, then destroys them all. Also runs when the page goes.
    void ReleaseBindings() { m_bindings.Release(); }

    // ---- handlers ----
    // Runs a handler; an exception shows in the standard exception box. False when it threw,
    // or when the page is going and the handler was not run.
    bool Guard(const std::function<void()>& handler);
    // FormCreate: a failure shows in the status bar's simple text (the page still opens and
    // says why it cannot work) or, without a status bar, in the exception box. A page opened
    // from the menu (OpenShown) runs it once it is on the screen, so the user sees it fill and
    // can close it while its opening reads run; otherwise it runs at once.
    bool RunFormCreate(const std::function<void()>& formCreate);
    // Pages created while this lives run FormCreate once they are shown.
    class OpenShown {
    public:
        OpenShown() { ++s_openShown; }
        ~OpenShown() { --s_openShown; }
        OpenShown(const OpenShown&) = delete;
        OpenShown& operator=(const OpenShown&) = delete;
    };
    // FormCreate has run.
    bool Created() const { return !m_formCreate; }
    // Any handler whose failure the page reports in its status bar, as FormCreate's.
    bool GuardToStatus(const std::function<void()>& handler);

    // Connects a signal to a handler that runs guarded.
    template <typename Sender, typename Signal, typename Handler>
    void Handle(Sender* sender, Signal signal, Handler handler)
    {
        connect(sender, signal, this, [this, handler](auto&&...) { Guard(handler); });
    }
    // The same, but while an exchange of the page is under way the handler does not run and
    // the status bar says why.
    template <typename Sender, typename Signal, typename Handler>
    void HandleWhenIdle(Sender* sender, Signal signal, Handler handler)
    {
        connect(sender, signal, this, [this, handler](auto&&...) { RunWhenIdle(handler); });
    }
    // Runs the handler guarded when no binding is busy; false when it did not run or threw.
    bool RunWhenIdle(const std::function<void()>& handler);
    // A button the page does not serve while busy says so instead of doing nothing: true (with
    // kBusyText in the status bar) when busy, and the handler then returns. A dialog without a
    // status bar of its own uses the bar of the page it belongs to.
    bool RefusedWhileBusy(bool busy);
    static constexpr const char* kBusyText = "Busy, please try again in a moment.";

    // A timer of the page: its interval follows the time scale, its handler runs guarded.
    // Owned by the page and stopped when the page goes. A tick that comes while a waiting
    // exchange of the page runs is held until it has ended (one tick, however many came).
    QTimer* NewTimer(int intervalMs, const std::function<void()>& handler);

    // ---- status bar ----
    // The page's status bar gets panels of these designed widths (scaled as the form), the
    // last reaching to its right edge; none leaves it in simple-text mode.
    void UseStatusBar(QvStatusBar* statusBar, std::initializer_list<int> panelWidths = {});
    QvStatusBar* StatusBar() const { return m_statusBar; }
    // A panel's text (panel mode).
    void ShowStatus(const QString& text, int panel = 0);
    // Switches the bar to its simple text and shows it ("Setting Success!").
    void ShowSimpleStatus(const QString& text);

    // ---- closing ----
    // A close asked for while an exchange is under way either waits for it and then closes
    // (AfterExchanges, the default) or is refused (Refuse); a page's own rule (CloseAllowed)
    // refuses too. Whatever is outstanding, a page closes within kCloseGraceMs of being asked:
    // if it is still busy then, it lets go of its exchanges (their answers are dropped) and
    // closes. A refused close the page could have served before then is not carried out.
    // A close asked for while a waiting exchange of the page runs (the window keeps living
    // inside it) ends that exchange at once as a time-out, and the page closes without
    // sending, asking or restarting anything more.
    enum class BusyClose { AfterExchanges, Refuse };
    void SetBusyClose(BusyClose rule) { m_busyClose = rule; }
    // A close refused by the page's rule says why at once and is carried out after this if the
    // page is still busy then; one held only for notifying exchanges goes after the shorter one.
    static constexpr int kCloseGraceMs = 3000;
    static constexpr int kBusyCloseGraceMs = 800;
    // A nested wait of the page's own (a walk it must see end before it goes on): the window
    // lives meanwhile, and closing the page ends the wait at once. False when it was ended.
    bool WaitWhile(const std::function<bool()>& busy, int lookMs = 20);
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool Ending() const { return m_ending; }
    // The page's own rule: false while it must not close (an exchange it waits for). Asked
    // again and again while a close is held, so it only answers; the page's timers stop when
    // it closes.
    virtual bool CloseAllowed() { return true; }
    // A wait of this owner (see ExchangeWait::Owner) is the page's: the page itself or a dialog
    // it opened.
    bool OwnsWait(const QObject* owner) const;

private:
    BindingOwner m_bindings{this};
    FormScale m_scale;
    QvStatusBar* m_statusBar = nullptr;
    Placement m_placement = Placement::AsDesigned;
    bool m_placed = false;
    // A close held while the page is busy: when it was asked for, and whether it was refused.
    void holdClose(int result, bool refused);
    void checkHeldClose();
    // letGo: without waiting for what is outstanding.
    void closeForGood(int result, bool letGo);
    void runHeldFormCreate();
    // Centred as SetUpWindow asked.
    void place();
    QElapsedTimer m_closeAsked;
    std::function<void()> m_formCreate;  // held until the page is shown (OpenShown)
    QSet<QTimer*> m_heldTicks;
    static inline int s_openShown = 0;
    int m_heldResult = 0;
    bool m_closeRefused = false;
    bool m_ending = false;
    BusyClose m_busyClose = BusyClose::AfterExchanges;
};
