// velmora --pdf run as a script runs it, with no Qt platform in its environment: the exit
// statuses and messages a script tells outcomes by, the files it must leave alone, and the same
// document as printing to a PDF file from the window.
#include "../core/CoreTestSupport.h"
#include "MainWindowFixture.h"
#include "engine/Analysis.h"
#include "risk/RiskDefinitions.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QRegularExpression>

using namespace velmora;

namespace {

struct Outcome {
    int status = -1;
    QString err;
};

Outcome Velmora(const QStringList& arguments, const QString& tmpdir = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // No platform and no display: the command must find its own way to run.
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    if (!tmpdir.isEmpty()) environment.insert("TMPDIR", tmpdir);
    QProcess velmora;
    velmora.setProcessEnvironment(environment);
    velmora.start(VELMORA_EXECUTABLE, arguments);
    if (!velmora.waitForFinished(50000) || velmora.exitStatus() != QProcess::NormalExit) return {};
    return {velmora.exitCode(), QString::fromLocal8Bit(velmora.readAllStandardError())};
}

// The text as a reader searches it: words one space apart, numbers without their grouping.
QString Searchable(const QString& pdfText) {
    return QString(pdfText).remove(',').simplified();
}

} // namespace

class PdfCommandTest : public test::MainWindowFixture {
    Q_OBJECT
private slots:
    void init() { StartClean(); }
    void cleanup() { Stop(); }

    void theExampleIsWrittenWithItsTotalsAndARiskRunAddsPages() {
        const QString pdf = Path("route-9.pdf"), example = VELMORA_EXAMPLES "/route-9.vlm";
        const Outcome run = Velmora({"--pdf", pdf, example});
        // A success says nothing: what a script reads on stderr is only ever a problem.
        QVERIFY2(run.status == 0 && run.err.isEmpty(), qPrintable(run.err));
        // Page 1 gives the decision in the dollars velmora-cli compute gives.
        const test::CliRun computed = test::RunCli({"compute", example.toStdString()});
        const auto total = [&](const char* name) {
            const QRegularExpression line(QString("\\n%1\t(\\d+)\\n").arg(name));
            return line.match(QString::fromStdString(computed.out)).captured(1).toLongLong();
        };
        const long long asphalt = total("asphaltTotal"), concrete = total("concreteTotal");
        const QString first = test::PdfText(pdf).section(u'\f', 0, 0).simplified();
        for (const QString& expected :
             {QString("Concrete is the cheaper option by $%1 per mile")
                  .arg(QLocale(QLocale::English).toString(asphalt - concrete)),
              QString("Total (net present value) %1 %2")
                  .arg(QLocale(QLocale::English).toString(asphalt),
                       QLocale(QLocale::English).toString(concrete))})
            QVERIFY2(first.contains(expected), qPrintable(expected + " in " + first));
        const QString text = Searchable(test::PdfText(pdf));
        for (const char* expected : {"Route 9", "Concrete Option Total", "2289636", "2227964"})
            QVERIFY2(text.contains(expected), expected);
        const int pages = test::PdfPages(pdf);
        QVERIFY(pages >= 2);
        QCOMPARE(test::PdfText(pdf).count('\f'), pages);

        // Fewer iterations than the example's own keep the run short; its pages come all the same.
        ProjectData project;
        QVERIFY(
            risk::DecodeProjectAndDefinitions(test::ReadAll(example).toStdString(), project).ok());
        risk::RiskDefinitions definitions =
            risk::ParseRiskDefinitions(project.riskDefinitions).definitions;
        definitions.iterations = 500;
        project.riskDefinitions = risk::RiskDefinitionsText(definitions);
        test::WriteAll(Path("short.vlm"), test::Encoded(project));
        const Outcome simulated = Velmora({Path("short.vlm"), "--pdf", pdf, "--simulate"});
        QVERIFY2(simulated.status == 0, qPrintable(simulated.err));
        QVERIFY(test::PdfPages(pdf) > pages);
    }

    // As velmora-cli compute says it: a refusal is status 3, yet the PDF prints it; a gridlock
    // is a success.
    void whatComputeCostsSaysIsOnStderr() {
        ProjectData project;
        project.wzLength = 2;
        test::WriteAll(Path("refused.vlm"), test::Encoded(project));
        ProjectData copy = project;
        const Refusal refusal = PrepareAnalysis(copy).refusal;
        Outcome run = Velmora({"--pdf", Path("refused.pdf"), Path("refused.vlm")});
        QCOMPARE(run.status, 3);
        QVERIFY2(run.err.contains(QString::fromStdString(refusal.caption)), qPrintable(run.err));
        QVERIFY(Searchable(test::PdfText(Path("refused.pdf")))
                    .contains(Searchable(QString::fromStdString(refusal.text))));

        project = {};
        project.aadt = 20000;
        project.trafficGrowth = 10;
        test::WriteAll(Path("gridlock.vlm"), test::Encoded(project));
        run = Velmora({"--pdf", Path("gridlock.pdf"), Path("gridlock.vlm")});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.startsWith(kGridlockCaption + QString(" (asphalt option)\n")),
                 qPrintable(run.err));
        QVERIFY(test::PdfText(Path("gridlock.pdf"))
                    .section(u'\f', 0, 0)
                    .simplified()
                    .contains("Gridlock: the work zone queue of the asphalt option"));
    }

    void filesThatCannotBeReadOrWrittenAreLeftAsTheyWere() {
        const QString project = MakeProjectFile("p.vlm", 2.0);
        const QByteArray bytes = test::ReadAll(project);
        QCOMPARE(Velmora({"--pdf", Path("out.pdf"), Path("missing.vlm")}).status, 1);
        QVERIFY(!QFile::exists(Path("out.pdf")));
        QFile::link(project, Path("link.vlm"));
        for (const QString& self : {project, Path("./p.vlm"), Path("link.vlm")}) {
            const Outcome run = Velmora({"--pdf", self, project});
            QCOMPARE(run.status, 1);
            QVERIFY2(run.err.contains("project file"), qPrintable(run.err));
            QCOMPARE(test::ReadAll(project), bytes);
        }
        QCOMPARE(Velmora({"--pdf", Path("no such folder/out.pdf"), project}).status, 1);
        // A report that cannot be made (no temporary folder to make it in) replaces nothing.
        test::WriteAll(Path("old.pdf"), "the last report");
        const Outcome failed = Velmora({"--pdf", Path("old.pdf"), project}, project);
        QCOMPARE(failed.status, 1);
        // One line that says why, without the noise of the libraries under it.
        QVERIFY2(failed.err.startsWith("velmora: cannot write") && failed.err.count('\n') == 1,
                 qPrintable(failed.err));
        QCOMPARE(test::ReadAll(Path("old.pdf")), QByteArray("the last report"));
    }

    void aWrongCommandLineIsAUsageError() {
        const QString project = MakeProjectFile("p.vlm", 2.0);
        for (const QStringList& arguments : {QStringList{"--pdf", Path("out.pdf")},
                                             {project, "--pdf"},
                                             {"--pdf", project},
                                             {"--pdf", Path("out.pdf"), project, project},
                                             {"--pdf", Path("out.pdf"), project, "--iterations"}})
            QCOMPARE(Velmora(arguments).status, 2);
        // Without definitions there is nothing to simulate.
        const Outcome run = Velmora({"--pdf", Path("out.pdf"), project, "--simulate"});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains("holds no risk definitions"), qPrintable(run.err));
        QVERIFY(!QFile::exists(Path("out.pdf")));
    }

    void printingToAFileGivesTheSameDocument() {
        const QString example = VELMORA_EXAMPLES "/route-9.vlm";
        QCOMPARE(Velmora({"--pdf", Path("command.pdf"), example}).status, 0);
        QVERIFY(Start({example}));
        Activate();
        test::WhenModalShows([&](QWidget* modal) {
            // As a user prints to a file: that printer, a file name, OK.
            QVERIFY(qobject_cast<QPrintDialog*>(modal));
            auto* printers = modal->findChild<QComboBox*>("printers");
            auto* file = modal->findChild<QLineEdit*>("filename");
            QVERIFY(printers && file);
            printers->setCurrentIndex(printers->findText("PDF", Qt::MatchContains));
            file->setText(Path("printed.pdf"));
            modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        QTest::keyClick(Frame(), Qt::Key_P, Qt::ControlModifier);
        // The report prints the time it was printed.
        const QRegularExpression time("^.*\\d\\d:\\d\\d:\\d\\d.*$",
                                      QRegularExpression::MultilineOption);
        QCOMPARE(test::PdfText(Path("printed.pdf")).remove(time),
                 test::PdfText(Path("command.pdf")).remove(time));
    }
};

QTEST_MAIN(PdfCommandTest)
#include "PdfCommandTest.moc"
