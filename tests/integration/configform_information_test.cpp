#include "support/PageTestKit.h"
#include "support/SnmpLibrary.h"
#include "support/DevsimAgent.h"
#include "support/DialogRecorder.h"
#include "pages/home/InformationPage.h"
#include "shell/PageRegistry.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "snmp/QvSNMPStartup.h"
#include "snmp/SnmpSettings.h"
#include "configform/TConfigForm.h"
#include "configform/TCtrlBtnPanel.h"
#include "configform/TEditsPanel.h"
#include "shell/TMainForm.h"
#include "configform/TMsgPanel.h"
#include "configform/TSNMPPanel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>

// The Information page against the simulated access point: what it shows of the system
// group and what "Set Checked" writes.
namespace {

#define SYSTEM "1.3.6.1.2.1.1."
enum Row { kDescription, kObjectId, kUptime, kContact, kName, kLocation };

// The page's controls, by row.
struct InformationView {
    explicit InformationView(QDialog* page)
        : form(qobject_cast<TConfigForm*>(page)),
          panel(form ? static_cast<TSNMPEditorPanel*>(form->Panel()) : nullptr)
    {
    }
    QLineEdit* edit(int row) const
    {
        return qobject_cast<QLineEdit*>(panel->EditsPanel->Rows()[static_cast<size_t>(row)].valueControl);
    }
    QCheckBox* box(int row) const { return panel->EditsPanel->Rows()[static_cast<size_t>(row)].checkBox; }
    QString memo() const { return panel->MsgPanel->Memo->toPlainText(); }
    // Both reads (the page's own and the form's deferred one) have ended.
    bool settled() const
    {
        const QvSNMPRequest2Edits* binding = form->ActiveBinding();
        // The two reads overlap, and the first to end clears Busy: count the exchanges too.
        return binding && !binding->Busy && binding->request.outstanding == 0 && !edit(kName)->text().isEmpty();
    }

    TConfigForm* form;
    TSNMPEditorPanel* panel;
};

class InformationPage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        StartSnmpLibraryOnce();
    }

    void SetUp() override
    {
        ASSERT_TRUE(device.start()) << device.error();
        AimAt(device.port());
    }

    // The page, shown and filled from the device.
    std::unique_ptr<QDialog> openPage()
    {
        std::unique_ptr<QDialog> page(NewInformationPage(nullptr));
        page->show();
        InformationView view(page.get());
        EXPECT_TRUE(waitFor([&] { return view.settled(); })) << view.memo().toStdString();
        return page;
    }

    DevsimAgent device;
    DialogRecorder recorder;
};

TEST_F(InformationPage, ShowsTheDevicesSystemGroup)
{
    std::unique_ptr<QDialog> page = openPage();
    InformationView view(page.get());
    ASSERT_NE(view.panel, nullptr);
    EXPECT_EQ(view.edit(kDescription)->text(), device.value(SYSTEM "1.0"));
    EXPECT_EQ(view.edit(kName)->text(), device.value(SYSTEM "5.0"));
    EXPECT_EQ(view.edit(kContact)->text(), device.value(SYSTEM "4.0"));
    EXPECT_EQ(view.edit(kLocation)->text(), device.value(SYSTEM "6.0"));
    EXPECT_EQ(view.edit(kObjectId)->text(), device.value(SYSTEM "2.0"));
    EXPECT_FALSE(view.edit(kUptime)->text().isEmpty());
    EXPECT_NE(view.edit(kUptime)->text(), "(NULL)");
    EXPECT_TRUE(view.memo().isEmpty()) << view.memo().toStdString();
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(InformationPage, SetCheckedWritesOnlyTheTickedItems)
{
    std::unique_ptr<QDialog> page = openPage();
    InformationView view(page.get());
    const QString contact = device.value(SYSTEM "4.0");
    const QString location = device.value(SYSTEM "6.0");

    view.edit(kName)->setText("ap-lobby");
    view.edit(kContact)->setText("not to be written");
    view.edit(kLocation)->setText("nor this");
    view.box(kName)->click();
    view.panel->CtrlBtnPanel->Bt_SetChecked->click();

    EXPECT_EQ(device.value(SYSTEM "5.0"), "ap-lobby");
    EXPECT_EQ(device.value(SYSTEM "4.0"), contact);
    EXPECT_EQ(device.value(SYSTEM "6.0"), location);
    EXPECT_TRUE(view.memo().isEmpty()) << view.memo().toStdString();
    EXPECT_TRUE(recorder.messages.empty());
    // The page stays notifying and reads all six items again.
    EXPECT_EQ(view.form->ActiveBinding()->RequestMode, QvSNMPRequest2Controls::kNotifying);
    view.panel->CtrlBtnPanel->Bt_Refresh->click();
    ASSERT_TRUE(waitFor([&] { return !view.form->ActiveBinding()->Busy; }));
    EXPECT_EQ(view.edit(kName)->text(), "ap-lobby");
    EXPECT_EQ(view.edit(kContact)->text(), contact);
}

TEST_F(InformationPage, AnEmptyTickedItemSendsNothing)
{
    std::unique_ptr<QDialog> page = openPage();
    InformationView view(page.get());
    const QJsonObject before = device.state();
    ASSERT_FALSE(before.isEmpty());

    view.edit(kName)->setText("ap-never");
    view.edit(kLocation)->clear();
    view.box(kName)->click();
    view.box(kLocation)->click();
    view.panel->CtrlBtnPanel->Bt_SetChecked->click();

    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Some items are empty!");
    EXPECT_EQ(recorder.messages[0].caption, "Warning");
    EXPECT_EQ(device.value(SYSTEM "5.0"), before.value(SYSTEM "5.0").toObject().value("value").toString());
    EXPECT_EQ(device.value(SYSTEM "6.0"), before.value(SYSTEM "6.0").toObject().value("value").toString());
    EXPECT_TRUE(view.memo().isEmpty()) << view.memo().toStdString();
}

// The main window opens the page from its menu as a modal dialog and destroys it after.
TEST_F(InformationPage, OpensFromTheMainWindowsMenu)
{
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    qputenv("VTA_LOCK_DIR", folder.path().toLocal8Bit());
    qputenv("VTA_HOST_REGISTRY", folder.filePath("registry.ini").toLocal8Bit());
    std::ofstream(folder.filePath("registry.ini").toStdString())
        << "[SOFTWARE\\Corvane\\Orvant5.1\\MibFile]\nPath=" << folder.path().toStdString() << "/\n";
    std::ofstream(folder.filePath("127.0.0.1.cfg").toStdString())
        << "[Program Information]\nAgentPort=" << device.port() << "\nVersion=1\n";
    PageRegistry::add(MenuItem::Information, NewInformationPage);

    TMainForm main({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    ASSERT_EQ(main.outcome(), TMainForm::StartOutcome::Running) << recorder.texts().join("\n").toStdString();
    QAction* item = main.menuItem("Information");
    ASSERT_NE(item, nullptr);

    QPointer<QDialog> opened;
    QString caption, name;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        opened = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!opened)
            return;
        caption = opened->windowTitle();
        modal = opened->isModal();
        InformationView view(opened);
        if (view.panel && waitFor([&] { return view.settled(); }))
            name = view.edit(kName)->text();
        if (view.panel)
            view.panel->CtrlBtnPanel->Bt_Close->click();
        else
            opened->reject();
    });
    item->trigger();

    EXPECT_EQ(caption, "Home \\ Information");
    EXPECT_TRUE(modal);
    EXPECT_EQ(name, device.value(SYSTEM "5.0"));
    EXPECT_TRUE(opened.isNull()) << "the page is destroyed when it closes";
    PageRegistry::clear();
    QDir::setCurrent(previous);
}

} // namespace
