#pragma once

// The full edition's window: the light window's input row and graph area,
// the frame "Доп. функции" on the right with the options, the timing
// corrections and the disaster controls, the status bar with its progress
// bar along the bottom, and the current-value box and the statistics panel
// inside the graph area. 10860 x 5430 twips, fixed size.

#include "ui/mainformbase.h"

#include "full/form1.h"

#include <QPointer>

class PictureBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QSlider;
class ShapeWidget;
class StatusBar;

class MainFrmFull : public MainFormBase {
    Q_OBJECT
public:
    explicit MainFrmFull(QWidget* parent = nullptr);
    ~MainFrmFull() override;

    // The log window; created (empty and hidden) when first referred to.
    Form1* logWindow();
    // The log window if it exists, without creating one.
    Form1* existingLogWindow() const { return m_log; }

    QPushButton* DrawCorrect = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check5 = nullptr;
    QSlider* Slider1 = nullptr;
    QProgressBar* ProgBar = nullptr;
    StatusBar* StatusWindow = nullptr;
    QGroupBox* Frame1 = nullptr;
    ShapeWidget* Shape2 = nullptr;
    ShapeWidget* Shape3 = nullptr;
    ShapeWidget* Shape4 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* Label18 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label20 = nullptr;
    QLabel* xCur = nullptr;
    QLabel* yCur = nullptr;
    QLabel* Label23 = nullptr;
    QLabel* Label24 = nullptr;
    QLabel* Label26 = nullptr;
    QLabel* Label28 = nullptr;
    PictureBox* Image1 = nullptr;
    PictureBox* Image2 = nullptr;
    PictureBox* Image3 = nullptr;

public slots:
    void StartCount_Click() override;
    void DrawCorrect_Click();
    void Check1_Click();
    void Check2_Click();
    void Image1_Click();

private:
    void Form_Load();
    void RevealStatistics();
    void MeasureReveal();
    void buildFrame();
    void buildPanels();
    bool checked(const QCheckBox* box) const;
    void setStatus(const QString& text);
    void setProgress(int step);
    void log(const QStringList& entries);
    void showLogWindow();
    void setStatisticsVisible(bool visible);
    void setCurrentValuesVisible(bool visible);
    double pauseLength() const;

    QPointer<Form1> m_log;
};
