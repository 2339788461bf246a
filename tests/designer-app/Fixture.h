#pragma once
// What every designer test stands on: the package installed once for the run (Main.cpp), a
// fresh main window per test whose failures are collected instead of shown, and a helper that
// answers the next modal window from a timer.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "tools/lumivex-designer/MainWindow.h"

namespace lumivex::designer::test {

class DesignerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Window = std::make_unique<TMainWindow>();
        Window->OnError = [this](const std::string& Message) { Errors.push_back(Message); };
        Window->show();
        QApplication::processEvents();
    }
    void TearDown() override { Window.reset(); }

    TDocument& Doc() { return Window->Document(); }

    // Chooses the palette entry and clicks the surface at (X, Y).
    vcl::TComponent* DropAt(const std::string& ClassName, int X, int Y);

    // Runs Action while a timer waits for the modal window it opens, reads a message box's text
    // and presses its first button; answers that text ("" when no modal window came).
    template <typename F> std::string AnswerModal(F Action) {
        std::string text;
        bool answered = false;
        QTimer timer;
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || answered)
                return;
            answered = true;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                text = box->text().toStdString();
                box->buttons().front()->click();
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                text = dialog->windowTitle().toStdString();
                dialog->reject();
            } else {
                text = modal->windowTitle().toStdString();
                modal->close();
            }
        });
        timer.start();
        Action();
        timer.stop();
        return text;
    }

    std::unique_ptr<TMainWindow> Window;
    std::vector<std::string> Errors;
};

} // namespace lumivex::designer::test

namespace lumivex::designer::test {

// A published property's value as the object inspector's editor shows it.
std::string PropertyValue(vcl::TComponent* Component, const std::string& Name,
                          vcl::TFormDesigner* Designer = nullptr);

} // namespace lumivex::designer::test
