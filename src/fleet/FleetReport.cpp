#include "fleet/FleetReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

std::string OutcomesAsTable(const std::vector<DeviceOutcome>& outcomes, const std::vector<std::string>& named)
{
    std::vector<std::string> columns{"device"};
    columns.insert(columns.end(), named.begin(), named.end());
    for (const DeviceOutcome& outcome : outcomes)
        for (const auto& [name, value] : outcome.fields)
            if (std::find(columns.begin(), columns.end(), name) == columns.end())
                columns.push_back(name);
    columns.push_back("result");

    std::vector<std::vector<std::string>> rows{columns};
    for (const DeviceOutcome& outcome : outcomes) {
        std::vector<std::string> row{outcome.device};
        for (size_t column = 1; column + 1 < columns.size(); ++column) {
            const auto field = std::find_if(outcome.fields.begin(), outcome.fields.end(),
                                            [&](const auto& entry) { return entry.first == columns[column]; });
            row.push_back(field == outcome.fields.end() ? "-" : field->second);
        }
        row.push_back(outcome.result);
        rows.push_back(row);
    }
    std::vector<size_t> widths(columns.size(), 0);
    for (const auto& row : rows)
        for (size_t column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    std::string text;
    for (const auto& row : rows) {
        for (size_t column = 0; column < row.size(); ++column) {
            text += row[column];
            if (column + 1 < row.size())
                text += std::string(widths[column] - row[column].size() + 2, ' ');
        }
        text += '\n';
    }
    return text;
}

std::string OutcomesAsJson(const std::vector<DeviceOutcome>& outcomes)
{
    QJsonArray array;
    for (const DeviceOutcome& outcome : outcomes) {
        QJsonObject object;
        object["device"] = QString::fromStdString(outcome.device);
        object["ok"] = outcome.ok;
        object["result"] = QString::fromStdString(outcome.result);
        for (const auto& [name, value] : outcome.fields)
            object[QString::fromStdString(name)] = QString::fromStdString(value);
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
}

std::string OutcomeSummary(const std::vector<DeviceOutcome>& outcomes, const std::string& successWord)
{
    size_t succeeded = 0, failed = 0, interrupted = 0, notStarted = 0;
    for (const DeviceOutcome& outcome : outcomes) {
        switch (outcome.ending) {
        case DeviceOutcome::Ending::Finished: ++(outcome.ok ? succeeded : failed); break;
        case DeviceOutcome::Ending::Interrupted: ++interrupted; break;
        case DeviceOutcome::Ending::NotStarted: ++notStarted; break;
        }
    }
    std::string line;
    auto add = [&line](size_t count, const std::string& what, bool always) {
        if (count == 0 && !always)
            return;
        line += (line.empty() ? "" : ", ") + std::to_string(count) + " " + what;
    };
    add(succeeded, successWord, true);
    add(failed, "failed", true);
    add(interrupted, "interrupted", false);
    add(notStarted, "not started", false);
    return line;
}

ProgressLine::ProgressLine(std::string activity, size_t total)
    : m_activity(std::move(activity)), m_total(total), m_shown(isatty(STDERR_FILENO) == 1)
{
}

void ProgressLine::update(size_t done, size_t failed)
{
    if (!m_shown)
        return;
    std::fprintf(stderr, "\r%s: %zu of %zu done, %zu failed ", m_activity.c_str(), done, m_total, failed);
    std::fflush(stderr);
}

void ProgressLine::finish()
{
    if (m_shown)
        std::fputs("\n", stderr);
}
