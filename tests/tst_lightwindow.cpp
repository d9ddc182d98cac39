#include "guitestutil.h"

#include "light/mainfrmlight.h"
#include "ui/drawinglayer.h"
#include "ui/linewidget.h"

namespace {
// How many pixels match, and the rectangle around them.
int pixels(const QImage& image, const std::function<bool(QRgb)>& match, QRect* where = nullptr) {
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (match(img.pixel(x, y))) {
                ++n;
                if (where)
                    *where |= QRect(x, y, 1, 1);
            }
    return n;
}
bool green(QRgb c) {
    return c == qRgb(0, 192, 0);
}
bool orange(QRgb c) {
    return c == qRgb(255, 128, 0);
}
bool drawn(QRgb c) {
    return qAlpha(c) != 0;
}
} // namespace

class TstLightWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<GuiFixture> fx;
    MainFrmLight* w = nullptr;

    void run() { w->StartCount->click(); }
    QImage drawing() { return w->drawingLayer()->image(); }

private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        w = openShown(new MainFrmLight);
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    void cleanup() {
        w->close();
        flushDeletes();
        fx.reset();
    }

    // Name, Left, Top, Width, Height in twips, then the text at load.
    void layout_data() {
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("text");
        const char* rows = R"(Label2 2160 120 4455 255 Введите начальные значения:
Label5 480 480 135 255 Δ
Label4 600 480 135 255 t=
dtInput 840 480 495 285 0,1
Label6 1440 480 255 255 x0=
x0Input 1800 480 495 285 0,1
Label7 2400 480 255 255 y0=
y0Input 2760 480 495 285 0,1
Label1 3360 480 375 255 k1=
k1Input 3720 480 495 285 0,1
Label3 4320 480 375 255 k2=
k2Input 4680 480 495 285 0,1
Label8 5280 480 135 255 α
Label9 5400 480 255 255 1=
a1Input 5640 480 495 285 0,1
Label10 6240 480 135 255 α
Label11 6360 480 255 255 2=
a2Input 6600 480 495 285 0,1
tt 7200 480 255 255 t=
tInput 7440 480 495 285 50
Graph 120 960 8055 3735
Label12 360 4320 135 255 0
Label13 360 960 255 255 x,y
tlabel 7920 4200 135 255 t
Label31 1200 4725 1815 255 Катастрофа будет при:
Label29 2880 4725 615 255 Её нет!
Label30 3600 4725 255 255 1/
CatQuan 3840 4680 255 285 2
VScroll1 4080 4680 135 285
MakeDisaster 4440 4720 2295 255 Сделать катастрофу
StartCount 120 5040 8055 255 Рассчитать
Shape1 0 0 8295 5415)";
        for (const QString& row : QString::fromUtf8(rows).split('\n')) {
            const QStringList f = row.split(' ');
            QTest::newRow(qPrintable(f[0]))
                << QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt())
                << f.mid(5).join(' ');
        }
    }
    void layout() {
        QFETCH(QRect, twips);
        QFETCH(QString, text);
        auto* c = w->findChild<QWidget*>(QTest::currentDataTag());
        QVERIFY(c);
        QCOMPARE(c->geometry(),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        QCOMPARE(c->property("text").toString(), text);
    }

    void window() {
        QCOMPARE(w->windowTitle(), QString("Модель Катастроф"));
        QCOMPARE(w->size(), QSize(552, 357));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(w->focusWidget(), w->k1Input);
        QVERIFY(!w->CatQuan->isEnabled());
        for (auto [line, x1, y1, x2, y2] : {std::tuple{w->Line1, 480, 4320, 7920, 4320},
                                            {w->Line2, 480, 4320, 480, 1200},
                                            {w->ViewLine, 480, 1200, 480, 4320}})
            QCOMPARE(QLine(line->x1(), line->y1(), line->x2(), line->y2()), QLine(x1, y1, x2, y2));
        QStringList order;
        QWidget* f = w->k1Input;
        do {
            if ((f->focusPolicy() & Qt::TabFocus) && f->isEnabled())
                order << f->objectName();
            f = f->nextInFocusChain();
        } while (f != w->k1Input);
        QCOMPARE(order.join(' '), QString("k1Input StartCount k2Input dtInput x0Input y0Input "
                                          "a1Input a2Input tInput MakeDisaster VScroll1"));
    }

    void runAtLoad() {
        QCOMPARE(pixels(drawing(), drawn), 0);
        run();
        QVERIFY(fx->messages.isEmpty());
        QVERIFY(pixels(drawing(), green) > 400 && pixels(drawing(), orange) > 400);
        // Both curves span the time axis; the larger one reaches 2240 twips up.
        QRect curves;
        pixels(
            drawing(), [](QRgb c) { return green(c) || orange(c); }, &curves);
        QCOMPARE(QList<int>({curves.left(), curves.right(), curves.top()}),
                 QList<int>({32, 528, 138}));
        QVERIFY(w->StartCount->isEnabled());
        QCOMPARE(w->state().graphReady, std::int16_t(-1));
        // Covering and uncovering the window keeps the graph.
        const QImage before = drawing();
        w->hide();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->repaint();
        QCOMPARE(drawing(), before);
        QVERIFY(pixels(w->grab().toImage(), green) > 400);
    }

    void secondRunReplacesFirst() {
        run();
        const QImage first = drawing();
        w->k1Input->setText("0,2");
        run();
        QVERIFY(drawing() != first);
        // Exactly what a window that only ever ran with the new text draws.
        MainFrmLight fresh;
        fresh.k1Input->setText("0,2");
        fresh.StartCount->click();
        QCOMPARE(fresh.drawingLayer()->image(), drawing());
    }

    // Box/text pairs, and the start of the one message the run then shows.
    void refused_data() {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("message");
        const QString bad = "Смотри, что пишешь!!";
        QTest::newRow("k1 letters") << QStringList{"k1Input", "abc"} << bad;
        QTest::newRow("k2 empty") << QStringList{"k2Input", ""} << bad;
        QTest::newRow("a1 trailing") << QStringList{"a1Input", "0,1x"} << bad;
        QTest::newRow("a2 blank") << QStringList{"a2Input", " "} << bad;
        QTest::newRow("dt zero") << QStringList{"dtInput", "0"} << bad;
        QTest::newRow("t 16-bit") << QStringList{"tInput", "40000"} << bad;
        QTest::newRow("t negative span") << QStringList{"tInput", "-50"} << bad;
        QTest::newRow("x0 word") << QStringList{"x0Input", "ten"} << bad;
        QTest::newRow("y0 sign only") << QStringList{"y0Input", "-"} << bad;
        QTest::newRow("t=0") << QStringList{"tInput", "0"} << "Ошибка выполнения '11'";
        QTest::newRow("x0=y0=0") << QStringList{"x0Input", "0", "y0Input", "0"}
                                 << "Ошибка выполнения '11'";
        QTest::newRow("t/dt=40000") << QStringList{"tInput", "4000"} << "Ошибка выполнения '6'";
        QTest::newRow("k1 huge") << QStringList{"k1Input", "1E+200"} << "Ошибка выполнения '6'";
    }
    void refused() {
        QFETCH(QStringList, edits);
        QFETCH(QString, message);
        run();
        for (int i = 0; i < edits.size(); i += 2)
            w->findChild<QLineEdit*>(edits[i])->setText(edits[i + 1]);
        run();
        QCOMPARE(fx->messages.size(), 1);
        QCOMPARE(fx->messages[0].icon, AppMessage::Critical);
        QVERIFY2(fx->messages[0].text.startsWith(message), qPrintable(fx->messages[0].text));
        QCOMPARE(pixels(drawing(), drawn), 0);
        QVERIFY(w->StartCount->isEnabled());
        // Idle again: the texts at load run as usual.
        for (int i = 0; i < edits.size(); i += 2)
            w->findChild<QLineEdit*>(edits[i])->setText(edits[i] == "tInput" ? "50" : "0,1");
        run();
        QCOMPARE(fx->messages.size(), 1);
        QVERIFY(pixels(drawing(), green) > 400);
    }
};

QTEST_MAIN(TstLightWindow)
#include "tst_lightwindow.moc"
