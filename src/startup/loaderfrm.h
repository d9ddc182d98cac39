#pragma once

// The loader: a borderless window shown for 1.5 s when the program starts
// with "-Debug", then replaced by the full window. Without the switch it is
// never shown and the light window opens at once. 5910 twips wide, 1470 high
// while shown and 2100 just before it closes, which uncovers its two buttons.

#include <QWidget>

class QLabel;
class QPushButton;

class LoaderFrm : public QWidget {
    Q_OBJECT
public:
    explicit LoaderFrm(QWidget* parent = nullptr);

    // Creates the loader and runs its start-up with the command-line text
    // (the arguments after the program name joined with single blanks).
    // Returns the main window it opened.
    // With a scenario file, the main window runs its values and its lab
    // opens on it.
    static QWidget* start(const QString& commandLine, const QString& scenarioFile = QString());
    // The command line as typed: the arguments after the program name,
    // joined with single blanks. Taken before QApplication removes the
    // options it handles itself (-reverse, -style, -platform...), which the
    // switch is compared with like any other text.
    // A scenario file given as the last argument (a double click in a file
    // manager) is no part of it.
    static QString commandLine(int argc, const char* const* argv);
    // That file, or nothing.
    static QString scenarioFile(int argc, const char* const* argv);
    static bool isDebugSwitch(const QString& commandLine);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

    QWidget* mainWindow() const { return m_main; }

public slots:
    void Command1_Click();
    void Command2_Click();

    // The controls exist only once the loader is going to be seen: without
    // the switch it closes unseen, and its large fonts would only slow the
    // light window's start.
    void buildControls();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load(const QString& commandLine);
    void setHeightTwips(int twips);
    void openMain(bool full);
    void setButtonsFocusable(bool focusable);

    QWidget* m_main = nullptr;
    bool m_waiting = false;
};
