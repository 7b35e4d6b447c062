#include "platform/qt/qt_dialogs.h"

#include "platform/qt/asking_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <utility>

namespace lumeno {

namespace {

QMessageBox::Icon IconFor(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return QMessageBox::Warning;
    case TMsgDlgType::mtError: return QMessageBox::Critical;
    case TMsgDlgType::mtInformation: return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation: return QMessageBox::Question;
    case TMsgDlgType::mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

QString DefaultCaption(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return QStringLiteral("Warning");
    case TMsgDlgType::mtError: return QStringLiteral("Error");
    case TMsgDlgType::mtInformation: return QStringLiteral("Information");
    case TMsgDlgType::mtConfirmation: return QStringLiteral("Confirm");
    case TMsgDlgType::mtCustom: break;
    }
    return QApplication::applicationName();
}

int openBoxes = 0;

} // namespace

bool TQtDialogs::BoxOpen()
{
    return openBoxes > 0;
}

int TQtDialogs::Show(const TDialogRequest& request)
{
    if (!qApp || QThread::currentThread() != qApp->thread())
        return request.DefaultResult;

    QMessageBox box(IconFor(request.Type),
                    request.Caption.empty() ? DefaultCaption(request.Type)
                                            : QString::fromStdString(request.Caption),
                    QString::fromStdString(request.Text), QMessageBox::NoButton,
                    TAskingWindow::Current());
    static const std::pair<TMsgDlgButtons, std::pair<QMessageBox::StandardButton, int>> kMap[] = {
        {mbYes, {QMessageBox::Yes, mrYes}},         {mbNo, {QMessageBox::No, mrNo}},
        {mbOK, {QMessageBox::Ok, mrOk}},            {mbCancel, {QMessageBox::Cancel, mrCancel}},
        {mbAbort, {QMessageBox::Abort, mrAbort}},   {mbRetry, {QMessageBox::Retry, mrRetry}},
        {mbIgnore, {QMessageBox::Ignore, mrIgnore}}, {mbAll, {QMessageBox::YesToAll, mrAll}},
        {mbNoToAll, {QMessageBox::NoToAll, mrNoToAll}},
        {mbYesToAll, {QMessageBox::YesToAll, mrYesToAll}}, {mbHelp, {QMessageBox::Help, mrNone}},
    };
    for (const auto& [bit, pair] : kMap) {
        if (request.Buttons & bit) {
            box.addButton(pair.first);
            if (pair.second == request.DefaultResult)
                box.setDefaultButton(pair.first);
        }
    }
    ++openBoxes;
    const int clicked = box.exec();
    --openBoxes;
    for (const auto& [bit, pair] : kMap)
        if (clicked == pair.first)
            return pair.second;
    return mrCancel;
}

} // namespace lumeno
