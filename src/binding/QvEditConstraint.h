#pragma once

#include "binding/ControlEvents.h"

#include <QLineEdit>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;
class QWidget;

// What may be typed into one edit and what it must hold when the user leaves it.
struct EditConstraint_s {
    enum Flag : uint16_t { kAutoAdvance = 1, kFixed = 2, kNotEmpty = 4 };

    QPointer<QLineEdit> edit;
    char type = 's';       // s text, h hex digits, u unsigned, i signed, f decimal, n delimited numbers
    char delimiter = 0;    // type n only
    double minimum = 0;
    double maximum = 0;
    int32_t length = 0;    // s, h: maximum text length; n: number count; 0 = no limit
    uint16_t flags = 0;
    char nextFieldKey = 0; // 0 = none
    QString lastAccepted;  // the text of the last accepted exit
    EditHandler previousChange;
    EditHandler previousExit;
};

// Input rules of the edits of one form, given as format texts: "%s" any text, "%h" hex
// digits, "%u" an unsigned number, "%u{n1x4094}" one between 1 and 4094, "%s{l5af}" five
// characters with auto-advance. While typing, a character the field does not allow is
// removed with a beep; when the user leaves the edit, emptiness, range, length and number
// count are checked and a failure shows its message, puts back the last accepted text and
// returns the focus. Page handlers on the edits keep working: they are called from the
// constraint's own and veto its follow-up by setting the edit's Tag to -1.
class QvEditConstraint {
public:
    // form: parent of the message boxes and the window whose focus moves on; remember: each
    // accepted exit stores the edit's text as its last accepted text.
    QvEditConstraint(QWidget* form, bool remember);
    // Gives the edits that outlive it their own handlers back.
    ~QvEditConstraint();
    QvEditConstraint(const QvEditConstraint&) = delete;
    QvEditConstraint& operator=(const QvEditConstraint&) = delete;

    // Applies the k-th specifier of format to the k-th edit. Throws QvException -2 ("Bad format
    // specifier of edit's constraint!") for a malformed specifier or more specifiers than edits.
    void AddConstraints(const std::string& format, const std::vector<QLineEdit*>& edits);
    // One specifier ("%u{n1x4094}") for one edit: sets its width and maximum length and installs
    // the checks in place of its change and exit handlers.
    void AddConstraint(const std::string& specifier, QLineEdit* edit);

    EditConstraint_s* FindConstraint(const QLineEdit* edit);
    void RememberText(QLineEdit* edit);

    // The edit's change handler: filters what was typed.
    void CheckKeyInput(QLineEdit* edit);
    // The edit's exit handler: checks the whole text.
    void CheckOnExit(QLineEdit* edit);

private:
    bool fail(EditConstraint_s& record, const QString& message);

    QPointer<QWidget> m_form;
    bool m_remember;
    std::vector<std::unique_ptr<EditConstraint_s>> m_records;
    // Handlers installed on edits check it, so an edit that outlives this object is safe.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};
