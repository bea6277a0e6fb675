#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// One open of the simulator's pseudo-terminal, the way the tool opens its port.
class Line
{
public:
    explicit Line(const QString& path)
        : m_fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
    }
    ~Line()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    bool write(const QByteArray& bytes)
    {
        return ::write(m_fd, bytes.constData(), bytes.size()) == bytes.size();
    }

    // Reads until needle has arrived and returns what came up to its end; the rest
    // waits for the next call. Sleeps in poll() between pieces.
    QByteArray readUntil(const QByteArray& needle, int timeoutMs = 10000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!m_received.contains(needle) && !deadline.hasExpired()) {
            pollfd watch { m_fd, POLLIN, 0 };
            if (::poll(&watch, 1, int(deadline.remainingTime())) <= 0)
                continue;
            char buffer[1024];
            const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
            if (count > 0)
                m_received.append(buffer, count);
        }
        const qsizetype found = m_received.indexOf(needle);
        const qsizetype end = found < 0 ? m_received.size() : found + needle.size();
        const QByteArray piece = m_received.first(end);
        m_received.remove(0, end);
        return piece;
    }

private:
    int m_fd = -1;
    QByteArray m_received;
};

} // namespace

// The simulator program as a shell or the start script uses it: the pty path on
// stdout, the link, the options, a clean end on SIGTERM.
class SimExecutableTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ptyLinkStateAndCleanExit();
    void modemFront();
    void masterCodeOption_data();
    void masterCodeOption();

private:
    // Starts the simulator and returns the path it printed.
    QString start(QProcess& process, const QStringList& arguments);
    void stop(QProcess& process);

    QString m_program;
    QTemporaryDir m_dir;
};

void SimExecutableTest::initTestCase()
{
    m_program = qEnvironmentVariable("VESTIBAR_SIM");
    if (m_program.isEmpty())
        QSKIP("VESTIBAR_SIM is not set");
    QVERIFY(QFileInfo(m_program).isExecutable());
}

QString SimExecutableTest::start(QProcess& process, const QStringList& arguments)
{
    process.setProgram(m_program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start();
    if (!process.waitForStarted())
        return {};
    while (!process.canReadLine() && process.waitForReadyRead(10000)) { }
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

void SimExecutableTest::stop(QProcess& process)
{
    process.terminate();
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

void SimExecutableTest::ptyLinkStateAndCleanExit()
{
    const QString link = m_dir.filePath("com1");
    const QString state = m_dir.filePath("controller.state");
    QProcess process;
    const QString slave = start(process, { "--link", link, "--state", state });
    QVERIFY2(slave.startsWith("/dev/pts/"), qPrintable(slave));
    QCOMPARE(QFileInfo(link).symLinkTarget(), slave);

    {
        Line line(link);
        QVERIFY(line.isOpen());
        line.write("COM\r\n");
        QVERIFY(line.readUntil("\r\n").startsWith("SIM: VESTIBAR CONTROLLER SIMULATOR READY"));
        line.write("PGM1234\r\n");
        QCOMPARE(line.readUntil("\r\n"), QByteArray("SIM: PROGRAMMING MODE ON\r\n"));
    }
    // The tool closes and reopens the port before every command: the controller
    // neither hangs up nor forgets that it is in programming mode.
    {
        Line line(link);
        line.write("TNTDIR:12TEL:555 NAME:J SMITH\r\n");
        QCOMPARE(line.readUntil("\r\n"), QByteArray("SIM: TENANT 12 STORED\r\n"));
    }
    {
        Line line(link);
        line.write("PRITNT\r\n");
        QCOMPARE(line.readUntil("RECORDS: 1\r\n"),
            QByteArray("TNTDIR:12TEL:555 NAME:J SMITH\r\nSIM: END OF TNT, RECORDS: 1\r\n"));
    }

    stop(process);
    QVERIFY(!QFileInfo::exists(link));
    QFile saved(state);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().contains("\nTNTDIR:12TEL:555 NAME:J SMITH\n"));

    // A new run starts from the saved state.
    QProcess second;
    const QString again = start(second, { "--state", state });
    Line line(again);
    line.write("PGM1234\r\nPRITNT\r\n");
    QVERIFY(line.readUntil("RECORDS: 1\r\n").contains("\r\nTNTDIR:12TEL:555 NAME:J SMITH\r\n"));
    stop(second);
}

void SimExecutableTest::modemFront()
{
    QProcess process;
    Line line(start(process, { "--modem" }));
    QVERIFY(line.isOpen());
    line.write("AT&F\r\n");
    QCOMPARE(line.readUntil("\r\n"), QByteArray("OK\r\n"));
    line.write("ATDT5551234\r\n");
    // The controller greets on its own once the carrier is up.
    QCOMPARE(line.readUntil("\r\n"), QByteArray("CONNECT 1200\r\n"));
    QVERIFY(line.readUntil("\r\n").startsWith("SIM: VESTIBAR CONTROLLER SIMULATOR READY"));
    line.write("PGM1234\r\nDIS\r\n");
    QCOMPARE(line.readUntil("NO CARRIER\r\n"),
        QByteArray("SIM: PROGRAMMING MODE ON\r\nSIM: LINK CLOSED, GOODBYE\r\nNO CARRIER\r\n"));
    stop(process);
}

void SimExecutableTest::masterCodeOption_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("four digits") << "5678" << 0;
    QTest::newRow("letters") << "12ab" << 2;
    QTest::newRow("five digits") << "12345" << 2;
}

void SimExecutableTest::masterCodeOption()
{
    QFETCH(QString, code);
    QFETCH(int, exitCode);
    QProcess process;
    const QString path = start(process, { "--code", code });
    if (exitCode != 0) {
        QVERIFY(path.isEmpty());
        QVERIFY(process.state() == QProcess::NotRunning || process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), exitCode);
        return;
    }
    Line line(path);
    line.write("PGM1234\r\n");
    QCOMPARE(line.readUntil("\r\n"), QByteArray("SIM: WRONG MASTER CODE, ACCESS REFUSED\r\n"));
    line.write("PGM" + code.toLatin1() + "\r\n");
    QCOMPARE(line.readUntil("\r\n"), QByteArray("SIM: PROGRAMMING MODE ON\r\n"));
    stop(process);
}

QTEST_MAIN(SimExecutableTest)
#include "tst_sim_executable.moc"
