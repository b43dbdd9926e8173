#pragma once

#include "binding/QvSNMPRequest2Controls.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

// The base of every page: a dialog that owns its bindings, releases them when it closes
// (after their exchanges have ended) and runs every handler through the exception guard,
// so a failure shows as a message box and never reaches the event loop.
//
// In the page's form file, status bars and radio groups are promoted widgets: class
// QvStatusBar (extends QStatusBar, header binding/QvStatusBar.h) and RadioGroup (extends QGroupBox,
// header binding/RadioGroup.h); edits, combo boxes, check boxes, labels, list views (QTreeWidget),
// memos (QPlainTextEdit) and page controls (QTabWidget) are Qt's own. Limit an edit's input
// with SetMaxLength (Controls.h), not QLineEdit::setMaxLength.
//
// A page releases its bindings in done(): a dialog that is only hidden between uses and
// keeps reading through its bindings should leave them to the page that owns it.
//
//   class TFM_Example : public QvPage {
//       TFM_Example() { ui.setupUi(this); Handle(ui.Bt_Apply, &QPushButton::clicked, [this] { Bt_ApplyClick(); });
//                       Guard([this] { FormCreate(); }); }
//       void FormCreate() { auto& edits = NewBinding<QvSNMPRequest2Edits>(); ... edits.Get(); }
//   };
class QvPage : public QDialog {
    Q_OBJECT
public:
    explicit QvPage(QWidget* parent = nullptr);
    ~QvPage() override;

    // A binding created with this page as its form, owned by the page.
    template <typename Binding>
    Binding& NewBinding()
    {
        static_assert(std::is_base_of_v<QvSNMPRequest2Controls, Binding>);
        auto binding = std::make_unique<Binding>(this);
        Binding& result = *binding;
        m_bindings.push_back(std::move(binding));
        return result;
    }

    // Runs a handler; an exception shows in the standard exception box. False when it threw.
    bool Guard(const std::function<void()>& handler);

    // Connects a signal to a handler that runs guarded.
    template <typename Sender, typename Signal, typename Handler>
    void Handle(Sender* sender, Signal signal, Handler handler)
    {
        connect(sender, signal, this, [this, handler](auto&&...) { Guard(handler); });
    }

    // Whether an exchange of one of the page's bindings is under way.
    bool AnyBindingBusy() const;
    // Waits until no binding is busy, then destroys them all. Also runs when the page goes.
    void ReleaseBindings();

    // Closing while an exchange is under way closes the page once every exchange has ended.
    void done(int result) override;

private:
    std::vector<std::unique_ptr<QvSNMPRequest2Controls>> m_bindings;
    bool m_closePending = false;
};
