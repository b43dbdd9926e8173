#include "binding/QvEditConstraint.h"

#include "binding/Controls.h"
#include "platform/Dialogs.h"
#include "snmp/ErrorCatalogue.h"
#include "snmp/QvException.h"
#include "snmp/QvNumList.h"
#include "snmp/ValueText.h"

#include <QLineEdit>
#include <QMetaObject>

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Entries of the common message table ("common.err"): an entry's line is its index + 1 and
// its exception code is minus its index.
enum CommonEntry {
    kBadFormat = 2,
    kEmptyValue = 3,
    kStringTooLong = 4,
    kStringLength = 5,
    kHexTooLong = 6,
    kHexLength = 7,
    kNumberRange = 8,
    kTooManyNumbers = 9,
    kNumberCount = 10,
    kNumbersRange = 11,
};

QString commonMessage(CommonEntry entry)
{
    return QString::fromStdString(Message(MessageTable::Common, entry + 1));
}

[[noreturn]] void raiseBadFormat()
{
    throw QvException(Message(MessageTable::Common, kBadFormat + 1), -kBadFormat);
}

QString fill(QString text, const char* marker, const QString& value)
{
    return text.replace(QLatin1String(marker), value);
}

bool isPlaceholder(const QString& text) { return text == "(NOTDONE)" || text == "(NULL)"; }

bool isDigit(QChar c) { return c >= '0' && c <= '9'; }

bool isHexDigit(QChar c)
{
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The position of the first character the field does not allow, or -1.
qsizetype firstRejected(const EditConstraint_s& record, const QString& text)
{
    bool seenPoint = false;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text[k];
        bool allowed = true;
        switch (record.type) {
        case 'u':
            allowed = isDigit(c);
            break;
        case 'i':
            allowed = isDigit(c) || (c == '-' && k == 0);
            break;
        case 'f':
            if (c == '.' && !seenPoint) {
                seenPoint = true;
                allowed = true;
            } else {
                allowed = isDigit(c) || (c == '-' && k == 0);
            }
            break;
        case 'h':
            allowed = isHexDigit(c);
            break;
        case 'n':
            if (c == QLatin1Char(record.delimiter))
                allowed = k > 0 && text[k - 1] != QLatin1Char(record.delimiter);
            else
                allowed = isDigit(c);
            break;
        default:
            break;
        }
        if (!allowed)
            return k;
    }
    return -1;
}

// The longest run of characters from allowed starting at pos.
std::string takeRun(const std::string& text, size_t& pos, size_t end, const char* allowed)
{
    const size_t start = pos;
    while (pos < end && std::strchr(allowed, text[pos]) && text[pos] != '\0')
        ++pos;
    return text.substr(start, pos - start);
}

int32_t wholeNumber(const std::string& digits)
{
    errno = 0;
    const long long value = std::strtoll(digits.c_str(), nullptr, 10);
    if (errno == ERANGE || value > INT32_MAX)
        raiseBadFormat();
    return static_cast<int32_t>(value);
}

double realNumber(const std::string& text)
{
    // The whole run must be one number: "1-2" or "1..5" is no bound.
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value))
        raiseBadFormat();
    return value;
}

unsigned int unsignedBound(double bound)
{
    const double whole = std::trunc(bound);
    if (whole <= 0)
        return 0;
    if (whole >= static_cast<double>(UINT_MAX))
        return UINT_MAX;
    return static_cast<unsigned int>(whole);
}

QString boundText(double bound) { return QString::fromStdString(ValueText::Real(bound)); }

} // namespace

QvEditConstraint::QvEditConstraint(QWidget* form, bool remember) : m_form(form), m_remember(remember) {}

QvEditConstraint::~QvEditConstraint()
{
    // Later records chained the handlers of earlier ones: undo from the last.
    for (auto it = m_records.rbegin(); it != m_records.rend(); ++it) {
        if (QLineEdit* edit = (*it)->edit) {
            EditEvents& events = EditEvents::Of(edit);
            events.OnChange = (*it)->previousChange;
            events.OnExit = (*it)->previousExit;
        }
    }
}

void QvEditConstraint::AddConstraints(const std::string& format, const std::vector<QLineEdit*>& edits)
{
    // Count the specifiers first: a format with more specifiers than edits binds none of them.
    size_t specifiers = 0;
    for (size_t i = 0; i < format.size(); ++i)
        if ((format[i] == '%' && i > 0) || (format[i] != '%' && i + 1 == format.size()))
            ++specifiers;
    if (specifiers > edits.size())
        raiseBadFormat();

    size_t next = 0;
    auto apply = [&](const std::string& specifier) {
        if (next >= edits.size())
            raiseBadFormat();
        AddConstraint(specifier, edits[next++]);
    };
    std::string specifier;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '%') {
            // A "%" closes the specifier before it; one at the very end starts nothing.
            if (i > 0)
                apply(specifier);
            specifier.assign(1, '%');
        } else {
            specifier += c;
            if (i + 1 == format.size())
                apply(specifier);
        }
    }
}

void QvEditConstraint::AddConstraint(const std::string& specifier, QLineEdit* edit)
{
    if (specifier.size() <= 1 || specifier[0] != '%' || !edit)
        raiseBadFormat();

    auto record = std::make_unique<EditConstraint_s>();
    record->edit = edit;
    size_t optionsAt = 2;
    switch (specifier[1]) {
    case 'u':
        record->minimum = 0;
        record->maximum = 4294967295.0;
        break;
    case 'i':
        record->minimum = -2147483648.0;
        record->maximum = 2147483647.0;
        break;
    case 'f':
        // No bound unless the specifier gives one.
        record->minimum = -DBL_MAX;
        record->maximum = DBL_MAX;
        break;
    case 'n':
        if (specifier.size() < 3)
            raiseBadFormat();
        record->delimiter = specifier[2];
        // The parts are unsigned numbers.
        record->minimum = 0;
        record->maximum = 4294967295.0;
        optionsAt = 3;
        break;
    case 's':
    case 'h':
        break;
    default:
        raiseBadFormat();
    }
    record->type = specifier[1];

    int32_t width = 0;
    if (specifier.size() > optionsAt) {
        if (specifier[optionsAt] != '{' || specifier.back() != '}')
            raiseBadFormat();
        const size_t end = specifier.size() - 1;
        size_t pos = optionsAt + 1;
        while (pos < end) {
            const char option = specifier[pos++];
            switch (option) {
            case 'e':
                if (pos >= end)
                    raiseBadFormat();
                record->nextFieldKey = specifier[pos++];
                break;
            case 'l': {
                const std::string digits = takeRun(specifier, pos, end, "0123456789");
                if (digits.empty())
                    raiseBadFormat();
                record->length = wholeNumber(digits);
                // Up to three flag letters, each at most once; a repeated letter is the next option.
                for (int taken = 0; taken < 3 && pos < end; ++taken) {
                    const uint16_t flag = specifier[pos] == 'a' ? EditConstraint_s::kAutoAdvance
                        : specifier[pos] == 'f'                 ? EditConstraint_s::kFixed
                        : specifier[pos] == 'n'                 ? EditConstraint_s::kNotEmpty
                                                           : 0;
                    if (flag == 0 || (record->flags & flag))
                        break;
                    record->flags |= flag;
                    ++pos;
                }
                break;
            }
            case 'w': {
                const std::string digits = takeRun(specifier, pos, end, "0123456789");
                if (digits.empty())
                    raiseBadFormat();
                width = wholeNumber(digits);
                break;
            }
            case 'n':
            case 'x': {
                const std::string number = takeRun(specifier, pos, end, "-0123456789.");
                if (number.empty())
                    raiseBadFormat();
                (option == 'n' ? record->minimum : record->maximum) = realNumber(number);
                break;
            }
            default:
                raiseBadFormat();
            }
        }
    }

    if (width > 0)
        edit->resize(width, edit->height());
    // The count of a delimited field counts numbers, not characters.
    SetMaxLength(edit, record->type == 'n' ? 0 : record->length);

    EditEvents& events = EditEvents::Of(edit);
    record->previousChange = events.OnChange;
    record->previousExit = events.OnExit;
    std::weak_ptr<int> alive = m_alive;
    events.OnChange = [this, alive](QLineEdit* e) {
        if (!alive.expired())
            CheckKeyInput(e);
    };
    events.OnExit = [this, alive](QLineEdit* e) {
        if (!alive.expired())
            CheckOnExit(e);
    };
    m_records.push_back(std::move(record));
}

EditConstraint_s* QvEditConstraint::FindConstraint(const QLineEdit* edit)
{
    for (const auto& record : m_records)
        if (record->edit == edit)
            return record.get();
    return nullptr;
}

void QvEditConstraint::RememberText(QLineEdit* edit)
{
    if (EditConstraint_s* record = FindConstraint(edit))
        record->lastAccepted = edit->text();
}

void QvEditConstraint::CheckKeyInput(QLineEdit* edit)
{
    const QString text = edit->text();
    if (isPlaceholder(text))
        return;
    EditConstraint_s* record = FindConstraint(edit);
    if (!record || text.isEmpty())
        return;
    QWidget* form = m_form ? m_form.data() : edit->window();

    if (record->nextFieldKey != 0) {
        const qsizetype at = text.indexOf(QLatin1Char(record->nextFieldKey));
        if (at >= 0) {
            edit->setText(QString(text).remove(at, 1));
            PostFocusNextControl(form);
            return;
        }
    }

    const qsizetype rejected = firstRejected(*record, text);
    if (rejected >= 0) {
        // Setting the shorter text runs this check again on it.
        edit->setText(QString(text).remove(rejected, 1));
        edit->setCursorPosition(static_cast<int>(std::min(rejected, edit->text().size())));
        Beep();
        return;
    }

    if (record->previousChange) {
        record->previousChange(edit);
        if (Tag(edit) == -1)
            return;
    }
    if ((record->flags & EditConstraint_s::kAutoAdvance) && record->length > 0
        && edit->text().size() == record->length)
        PostFocusNextControl(form);
}

void QvEditConstraint::CheckOnExit(QLineEdit* edit)
{
    const QString text = edit->text();
    if (isPlaceholder(text))
        return;
    EditConstraint_s* record = FindConstraint(edit);
    if (!record)
        return;

    if (text.isEmpty()) {
        if (record->flags & EditConstraint_s::kNotEmpty)
            fail(*record, commonMessage(kEmptyValue));
        return;
    }

    const bool fixed = record->flags & EditConstraint_s::kFixed;
    const QString length = QString::number(record->length);
    const QString delimiter = QString(QLatin1Char(record->delimiter));
    switch (record->type) {
    case 'u':
    case 'i':
    case 'f': {
        const double value = ValueText::ReadReal(text.toStdString());
        if (value < record->minimum || value > record->maximum)
            return (void)fail(*record, fill(fill(commonMessage(kNumberRange), "[MIN]", boundText(record->minimum)),
                                            "[MAX]", boundText(record->maximum)));
        break;
    }
    case 's':
    case 'h':
        if (record->length > 0) {
            const bool hex = record->type == 'h';
            if (fixed && text.size() != record->length)
                return (void)fail(*record, fill(commonMessage(hex ? kHexLength : kStringLength), "[LEN]", length));
            if (!fixed && text.size() > record->length)
                return (void)fail(*record,
                                  fill(commonMessage(hex ? kHexTooLong : kStringTooLong), "[MAXLEN]", length));
        }
        break;
    case 'n': {
        QvNumList<unsigned int> numbers;
        numbers.delimiter = record->delimiter;
        numbers.Parse(text.toStdString());
        const auto count = static_cast<int64_t>(numbers.Count());
        if (record->length > 0 && fixed && count != record->length)
            return (void)fail(*record,
                              fill(fill(commonMessage(kNumberCount), "[DELIMITER]", delimiter), "[COUNT]", length));
        if (record->length > 0 && !fixed && count > record->length)
            return (void)fail(*record, fill(fill(commonMessage(kTooManyNumbers), "[DELIMITER]", delimiter),
                                            "[MAXCOUNT]", length));
        const unsigned int low = unsignedBound(record->minimum);
        const unsigned int high = unsignedBound(record->maximum);
        if (!numbers.AllWithin(low, high))
            return (void)fail(*record, fill(fill(fill(commonMessage(kNumbersRange), "[DELIMITER]", delimiter), "[MIN]",
                                                 QString::number(low)),
                                            "[MAX]", QString::number(high)));
        break;
    }
    default:
        break;
    }

    if (record->previousExit) {
        record->previousExit(edit);
        if (Tag(edit) == -1) {
            edit->setText(record->lastAccepted);
            return;
        }
    }
    if (m_remember)
        record->lastAccepted = edit->text();
}

bool QvEditConstraint::fail(EditConstraint_s& record, const QString& message)
{
    QLineEdit* edit = record.edit;
    QWidget* parent = m_form ? m_form.data() : edit->window();
    Dialogs::message(parent, message, ExecutableName(), DialogButtons::Ok);
    edit->setText(record.lastAccepted);
    // The focus is still on its way to the other control: take it back once it arrived.
    QPointer<QLineEdit> target(edit);
    QMetaObject::invokeMethod(
        edit,
        [target] {
            if (target)
                target->setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
    return false;
}
