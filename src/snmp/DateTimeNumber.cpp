#include "snmp/DateTimeNumber.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QString>

#include <cmath>
#include <cstdio>

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kMillisecondsPerDay = 86400000.0;
// Days either side of the epoch that a date can hold here (millions of years): eight octets
// from an agent may carry any double, and a day beyond this has no date.
constexpr double kFarthestDay = 1e9;

} // namespace

namespace DateTimeNumber {

double Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    return static_cast<double>(kEpoch.daysTo(now.date())) + now.time().msecsSinceStartOfDay() / kMillisecondsPerDay;
}

std::string Format(double number)
{
    if (!std::isfinite(number) || std::fabs(number) > kFarthestDay)
        number = 0;
    // The whole part is the day, the fraction's size the time (also before the epoch).
    double whole = 0;
    const double fraction = std::fabs(std::modf(number, &whole));
    long long ms = std::llround(fraction * kMillisecondsPerDay);
    const QDate date = kEpoch.addDays(static_cast<qint64>(whole) + ms / 86400000);
    ms %= 86400000;
    const int seconds = static_cast<int>(ms / 1000);
    const int hour = seconds / 3600;
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d %s", date.year(), date.month(), date.day(),
                  hour12, seconds / 60 % 60, seconds % 60, hour < 12 ? "am" : "pm");
    return text;
}

std::optional<double> Parse(const std::string& text)
{
    static const QRegularExpression form(
        R"(^\s*(\d{1,4})[/-](\d{1,2})[/-](\d{1,2})(?:\s+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?(?:\s*([AaPp][Mm]))?)?\s*$)");
    const QRegularExpressionMatch match = form.match(QString::fromStdString(text));
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    int hour = match.captured(4).toInt();
    const int minute = match.captured(5).toInt();
    const int second = match.captured(6).toInt();
    const QString half = match.captured(7).toLower();
    if (!half.isEmpty()) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (half == "pm" ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const double days = static_cast<double>(kEpoch.daysTo(date));
    const double time = (hour * 3600 + minute * 60 + second) / 86400.0;
    // Before the epoch the fraction still counts forward in the day.
    return days < 0 ? days - time : days + time;
}

} // namespace DateTimeNumber
