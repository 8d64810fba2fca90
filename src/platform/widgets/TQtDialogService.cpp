#include "platform/widgets/TQtDialogService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace {

struct ButtonSpec {
    TMsgDlgBtn Button;
    const char* Caption;
    QMessageBox::ButtonRole Role;
    int Result;
};

// In the order the boxes show them.
const ButtonSpec kButtons[] = {
    {mbYes, "&Yes", QMessageBox::YesRole, mrYes},
    {mbNo, "&No", QMessageBox::NoRole, mrNo},
    {mbOK, "OK", QMessageBox::AcceptRole, mrOk},
    {mbCancel, "Cancel", QMessageBox::RejectRole, mrCancel},
    {mbAbort, "&Abort", QMessageBox::RejectRole, mrAbort},
    {mbRetry, "&Retry", QMessageBox::AcceptRole, mrRetry},
    {mbIgnore, "&Ignore", QMessageBox::AcceptRole, mrIgnore},
};

QMessageBox::Icon iconFor(const TDialogBox& box) {
    switch (box.Type) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int TQtDialogService::Show(const TDialogBox& box) {
    QMessageBox message(iconFor(box), QString::fromStdString(box.Title),
                        QString::fromStdString(box.Text), QMessageBox::NoButton,
                        QApplication::activeWindow());
    message.setTextFormat(Qt::PlainText);
    TMsgDlgButtons buttons = box.Buttons ? box.Buttons : TMsgDlgButtons(mbOK);
    std::vector<std::pair<QAbstractButton*, int>> results;
    QAbstractButton* cancel = nullptr;
    for (const ButtonSpec& spec : kButtons) {
        if (!(buttons & spec.Button)) continue;
        QAbstractButton* b = message.addButton(QString::fromLatin1(spec.Caption), spec.Role);
        results.emplace_back(b, spec.Result);
        if (spec.Button == mbCancel || (spec.Button == mbNo && !cancel)) cancel = b;
    }
    // The first button is the default one; Esc answers Cancel (or No), or
    // the only button of the box.
    message.setDefaultButton(static_cast<QPushButton*>(results.front().first));
    if (!cancel && results.size() == 1) cancel = results.front().first;
    if (cancel) message.setEscapeButton(cancel);
    message.exec();
    QAbstractButton* clicked = message.clickedButton();
    if (!clicked) clicked = cancel ? cancel : results.front().first;
    for (const auto& [button, result] : results)
        if (button == clicked) return result;
    return results.front().second;
}

void TQtDialogService::Beep() {
    QApplication::beep();
}
