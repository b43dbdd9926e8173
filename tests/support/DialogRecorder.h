#pragma once

#include "platform/Dialogs.h"

#include <QStringList>
#include <deque>
#include <vector>

// Answers the module's message boxes and file dialogs in tests and remembers what they
// showed. Installed for its lifetime.
class DialogRecorder : public DialogProvider {
public:
    DialogRecorder() { Dialogs::install(this); }
    ~DialogRecorder() override { Dialogs::install(nullptr); }

    DialogResult message(QWidget*, const MessageRequest& request) override
    {
        messages.push_back(request);
        if (answers.empty())
            return request.buttons == DialogButtons::Ok || request.buttons == DialogButtons::OkCancel
                ? DialogResult::Ok
                : DialogResult::Yes;
        const DialogResult answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QString file(QWidget*, const FileRequest& request) override
    {
        files.push_back(request);
        if (paths.empty())
            return {};
        const QString path = paths.front();
        paths.pop_front();
        return path;
    }

    QStringList texts() const
    {
        QStringList list;
        for (const auto& m : messages)
            list << m.text;
        return list;
    }

    std::vector<MessageRequest> messages;
    std::vector<FileRequest> files;
    std::deque<DialogResult> answers;  // answers to the next message boxes, in order
    std::deque<QString> paths;         // answers to the next file dialogs, in order
};
