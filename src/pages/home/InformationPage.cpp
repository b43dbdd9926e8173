#include "pages/home/InformationPage.h"

#include "binding/QvSNMPRequest2Edits.h"
#include "configform/TConfigForm.h"
#include "snmp/VariableDescriptor.h"

#include <memory>

namespace {

const VariableDescriptor kSystemGroup[] = {
    {"1.3.6.1.2.1.1.1", "System Description", kSyntaxDisplayString, kAccessReadOnly},
    {"1.3.6.1.2.1.1.2", "System Object ID", kSyntaxObjectId, kAccessReadOnly},
    {"1.3.6.1.2.1.1.3", "System Uptime", kSyntaxTimeTicks, kAccessReadOnly},
    {"1.3.6.1.2.1.1.4", "System Contact", kSyntaxDisplayString, kAccessReadWrite},
    {"1.3.6.1.2.1.1.5", "System Name", kSyntaxDisplayString, kAccessReadWrite},
    {"1.3.6.1.2.1.1.6", "System Location", kSyntaxDisplayString, kAccessReadWrite},
    {nullptr, nullptr, 0, 0},
};

constexpr int kValueWidth = 180;

} // namespace

QDialog* NewInformationPage(QWidget* owner)
{
    auto form = std::make_unique<TConfigForm>(owner);
    form->setWindowTitle("Home \\ Information");
    auto binding = std::make_unique<QvSNMPRequest2Edits>(form.get());
    binding->request.list.Assign(QvSNMPVarList(kSystemGroup, kListScalars, 0));
    binding->RequestMode = QvSNMPRequest2Controls::kNotifying;
    QvSNMPRequest2Edits& edits = *binding;
    TSNMPEditorPanel* panel = form->AddEditorPanel(std::move(binding));
    form->SetEditWidth(panel, kValueWidth);
    // The first read; the form reads once more when its event loop starts.
    edits.Get();
    return form.release();
}
