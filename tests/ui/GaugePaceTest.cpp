// The gauge in the real window: the percentage it draws, and during a long run, whose value
// changes every line, painted at the display's pace, the last value painted before the run's
// closing box being the final one.
#include "Conf.h"
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "StoreFixture.h"
#include "TempDir.h"
#include "TestServer.h"
#include "WindowFixture.h"
#include "ui/Gauge.h"

#include <QColor>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <vector>

// Records the percentage each paint of a widget shows.
class PaintLog : public QObject {
public:
    explicit PaintLog(TGauge* g) : gauge(g) { g->installEventFilter(this); }
    std::vector<int> Painted;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            Painted.push_back(gauge->PercentDone());
        return false;
    }

private:
    TGauge* gauge;
};

class GaugePaceTest : public QObject, private WindowFixture {
    Q_OBJECT
    TempDir dir;

    std::string Db() const { return "loja_ritmo"; }

private slots:
    void initTestCase() {
        CreateStore(Db());
        TestServer::Shared().Exec(
            "INSERT INTO produto (produto_id, barras) VALUES (1, '7891000100103')", Db());
        PointConfAtStore(Db(), "root");
    }

    void cleanupTestCase() { RemoveConfBesideProgram(); }
    void init() {
        dialogs = &ScriptedDialogs::Install();
        Open();
    }
    void cleanup() { CloseWindow(); }

    void theGaugeDrawsItsPercentageAndRepaintsOnlyOnChange() {
        TGauge* g = w->Gauge1;
        g->SetProgress(0);
        g->SetMaxValue(3);
        g->AddProgress(1);
        QCOMPARE(g->PercentDone(), 33);
        QCOMPARE(g->FilledWidth(), 380 * 33 / 100);
        g->SetMaxValue(1);
        QCOMPARE(g->Progress(), 1); // lowered with the maximum
        QCOMPARE(g->PercentDone(), 100);
        g->SetMaxValue(0);
        QCOMPARE(g->PercentDone(), 0);
        g->SetMaxValue(1000000);
        g->SetProgress(0);
        QApplication::processEvents();
        int before = g->Pinturas();
        for (int i = 0; i < 5000; ++i)
            g->AddProgress(1); // 0.5%: nothing drawn changes
        QCOMPARE(g->Pinturas(), before);
        g->AddProgress(5000);
        QTRY_COMPARE(g->Pinturas(), before + 1); // 1%: painted within the display's pace
        QImage image = g->grab().toImage();
        QCOMPARE(image.pixelColor(1 + g->FilledWidth() + 2, 2), QColor(Qt::white));
    }

    void aLongRunPaintsTheGaugeAtTheDisplaysPaceAndEndsOnItsFinalValue() {
        // Four lines a percent: painting every change would paint it a hundred times.
        const int lines = 400;
        std::string csv = "BARRAS;DESCRICAO;PRECO;\r\n";
        for (int i = 0; i < lines; ++i)
            csv += "7891000100103;A;1;\r\n";
        dialogs->FileChoices.push_back(QString::fromStdString(dir.Write("oferta.csv", csv)));
        QTest::mouseClick(w->sbArquivo, Qt::LeftButton);
        w->txtCadOferta->setText(QStringLiteral(u"Ofertas da Semana"));

        PaintLog log(w->Gauge1);
        std::vector<int> atTheEnd;
        int progressAtTheEnd = -1;
        QElapsedTimer run;
        dialogs->OnShow = [&](const ShownMessage&) {
            atTheEnd = log.Painted;
            progressAtTheEnd = w->Gauge1->Progress();
        };
        run.start();
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        const qint64 ms = run.elapsed();
        QCOMPARE(LastText(), QStringLiteral(u"Importação concluída com sucesso!!!"));
        QCOMPARE(progressAtTheEnd, 0); // the window is back at rest when the box opens

        const int paints = static_cast<int>(atTheEnd.size());
        qInfo("%d paints in %lld ms for %d lines", paints, static_cast<long long>(ms), lines);
        QVERIFY(paints >= 2); // it visibly advances
        QVERIFY2(paints <= 2 + ms / 16, "painted more often than once every 16 ms");
        QVERIFY(paints < lines / 4);
        // The header line counts in the maximum but is never imported.
        QCOMPARE(atTheEnd.back(), 100 * lines / (lines + 1));
        QVERIFY(std::is_sorted(atTheEnd.begin(), atTheEnd.end()));
        QTRY_COMPARE(log.Painted.back(), 0); // the rest state reaches the screen afterwards
    }
};

CADOFERTAS_QTEST_MAIN(GaugePaceTest)
#include "GaugePaceTest.moc"
