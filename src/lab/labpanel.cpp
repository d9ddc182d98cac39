#include "lab/labpanel.h"

#include "export/labpicture.h"
#include "lab/comparetable.h"
#include "lab/labexamples.h"
#include "lab/paramslider.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

LabPanel::LabPanel(QWidget* parent) : QWidget(parent), m_grid(new QGridLayout(this)) {
    setFixedWidth(380);
    m_grid->setContentsMargins(0, 0, 0, 0);
    auto* exampleLabel = new QLabel(QStringLiteral("П&ример:"), this);
    m_example = new QComboBox(this);
    m_example->setObjectName(QStringLiteral("Example"));
    listExamples();
    exampleLabel->setBuddy(m_example);
    m_example->view()->setObjectName(QStringLiteral("ExampleList"));
    m_grid->addWidget(exampleLabel, m_row, 0);
    m_grid->addWidget(m_example, m_row++, 1, 1, 2);
    connect(m_example, &QComboBox::activated, this, [this](int i) {
        if (i >= 1 && i <= int(m_examples.size()))
            emit exampleChosen(m_examples[std::size_t(i - 1)].params);
        else if (i == int(m_examples.size()) + 1)
            emit folderWanted();
    });

    using V = LabState::Value;
    const struct {
        V which;
        const char* name;
        QString caption;
        ParamSlider::Kind kind;
    } values[] = {
        {V::K1, "k1", QStringLiteral("k&1"), ParamSlider::Free},
        {V::K2, "k2", QStringLiteral("k&2"), ParamSlider::Free},
        {V::A1, "a1", QStringLiteral("α1 (&a)"), ParamSlider::Free},
        {V::A2, "a2", QStringLiteral("α2 (&b)"), ParamSlider::Free},
        {V::X0, "x0", QStringLiteral("&x0"), ParamSlider::Free},
        {V::Y0, "y0", QStringLiteral("&y0"), ParamSlider::Free},
        {V::Dt, "dt", QStringLiteral("Δ&t"), ParamSlider::Positive},
        {V::Span, "t", QStringLiteral("&Время t"), ParamSlider::Count},
    };
    for (const auto& v : values) {
        ParamSlider* s = slider(v.name, v.caption, v.kind);
        m_values[v.which] = s;
        connect(s, &ParamSlider::edited, this,
                [this, which = v.which](double x) { emit valueEdited(which, x); });
    }

    auto* methodLabel = new QLabel(QStringLiteral("&Метод:"), this);
    m_method = new QComboBox(this);
    m_method->setObjectName(QStringLiteral("Method"));
    for (Integrator::Method m : Integrator::All)
        m_method->addItem(LabPicture::methodName(m));
    methodLabel->setBuddy(m_method);
    m_method->view()->setObjectName(QStringLiteral("MethodList"));
    m_grid->addWidget(methodLabel, m_row, 0);
    m_grid->addWidget(m_method, m_row++, 1, 1, 2);
    connect(m_method, &QComboBox::currentIndexChanged, this,
            [this](int i) { emit methodChosen(Integrator::All[std::clamp(i, 0, 2)]); });

    m_disaster = new QCheckBox(QStringLiteral("&Катастрофа"), this);
    m_disaster->setObjectName(QStringLiteral("DisasterOn"));
    m_grid->addWidget(m_disaster, m_row++, 0, 1, 3);
    connect(m_disaster, &QCheckBox::toggled, this, &LabPanel::disasterToggled);
    m_strike = slider("Strike", QStringLiteral("м&омент"), ParamSlider::Span);
    connect(m_strike, &ParamSlider::edited, this, &LabPanel::strikeEdited);
    m_divisor = slider("Divisor", QStringLiteral("&делитель"), ParamSlider::Choices);
    // Every divisor a main window has: its scroll bar's and its picture's.
    m_divisor->setChoices({2, 3, 4, 5, 6, 7, 8, 1000});
    connect(m_divisor, &ParamSlider::edited, this,
            [this](double v) { emit divisorEdited(int(v)); });

    m_field = new QCheckBox(QStringLiteral("&Поле направлений"), this);
    m_field->setObjectName(QStringLiteral("FieldOn"));
    m_field->setChecked(true);
    m_grid->addWidget(m_field, m_row++, 0, 1, 3);
    m_compare = new QPushButton(QStringLiteral("&Сравнить шаги"), this);
    m_compare->setObjectName(QStringLiteral("CompareSteps"));
    m_compare->setCheckable(true);
    m_grid->addWidget(m_compare, m_row++, 0, 1, 3);
    m_differs = new QLabel(this);
    m_differs->setObjectName(QStringLiteral("Differs"));
    m_differs->setWordWrap(true);
    m_grid->addWidget(m_differs, m_row++, 0, 1, 3);
    m_toMain = new QPushButton(QStringLiteral("В &главное окно"), this);
    m_toMain->setObjectName(QStringLiteral("ToMain"));
    m_grid->addWidget(m_toMain, m_row++, 0, 1, 3);
    m_risk = new QPushButton(QStringLiteral("Риск вымира&ния…"), this);
    m_risk->setObjectName(QStringLiteral("RiskOpen"));
    m_grid->addWidget(m_risk, m_row++, 0, 1, 3);
    m_table = new CompareTable(this);
    m_table->setVisible(false);
    m_grid->addWidget(m_table, m_row++, 0, 1, 3);
    m_grid->setRowStretch(m_row, 1);
}

ParamSlider* LabPanel::slider(const char* name, const QString& caption, int kind) {
    auto* s = new ParamSlider(this, QString::fromLatin1(name), caption, ParamSlider::Kind(kind));
    m_grid->addWidget(s->label(), m_row, 0);
    m_grid->addWidget(s->slider(), m_row, 1);
    m_grid->addWidget(s->box(), m_row++, 2);
    return s;
}

void LabPanel::show(const Scenario& p) {
    for (int v = LabState::K1; v <= LabState::Span; ++v)
        m_values[v]->setValue(p.*LabState::field(LabState::Value(v)));
    m_strike->setSpan(0, std::max(std::abs(p.span), 1.0));
    m_strike->setValue(p.strikeTime);
    m_divisor->setValue(p.divisor);
    const QSignalBlocker quiet(m_method), quietToo(m_disaster);
    m_method->setCurrentIndex(int(p.method));
    m_disaster->setChecked(p.disaster);
    m_strike->setEnabled(p.disaster);
}

void LabPanel::listExamples() {
    const QSignalBlocker quiet(m_example);
    m_examples = LabExamples::withOwn();
    m_example->clear();
    m_example->addItem(QStringLiteral("(выберите)"));
    for (const LabExamples::Example& e : m_examples)
        m_example->addItem(e.name);
    m_example->addItem(QStringLiteral("Папка со сценариями…"));
}

void LabPanel::forgetExample() {
    m_example->setCurrentIndex(0);
}
