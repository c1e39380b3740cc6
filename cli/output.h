#ifndef CLI_OUTPUT_H
#define CLI_OUTPUT_H

#include <QJsonObject>

#include <cstdio>
#include <QString>

// What kestrelpack-cli prints about one job on one port, in one of three
// forms: lines for people (progress updated in place on a terminal), only the
// outcome line (--quiet), or one JSON object per line and event (--json), which
// is also how a run over several ports hears from the process of each port.
// Writes the text to the stream in the local encoding (on Windows: to a
// console through its wide-character interface, to a pipe or file as UTF-8)
// and flushes it: the lines of several processes and of a progress line
// rewritten in place must reach the reader as they are written.
void WriteText(FILE *pStream, const QString &sText);

// Text that another process of this program wrote into a pipe with
// WriteText, back as text.
QString ReadText(const QByteArray &bytes);

class Output
{
public:
    enum class Mode
    {
        Text,
        Quiet,
        Json,
    };

    void Setup(Mode eMode, const QString &sJob, const QString &sPort);
    // The port the device was found on, once known.
    void SetPort(const QString &sPort) { m_sPort = sPort; }
    // The job's record in the service history: the outcome carries it
    // (--json, as "record").
    void SetRecord(const QJsonObject &record) { m_record = record; }

    // A step or a wait: a line on standard output, or an event.
    void Event(const QString &sEvent, const QString &sMessage, const QJsonObject &fields = QJsonObject());
    // Something the user should know although the job goes on or succeeded.
    void Warning(const QString &sMessage);
    // A step's progress. On a terminal the line is rewritten in place; else a
    // line (or event) when a new tenth is reached, so that a big file gives
    // ten lines, not a hundred.
    void Progress(const QString &sStep, int nPercent);
    // The job's end, the one line --quiet keeps: on standard output on
    // success, on standard error otherwise.
    void Outcome(int nExit, const QString &sMessage, const QJsonObject &fields = QJsonObject());

    // One JSON object as a line of standard output.
    static void PrintJson(const QJsonObject &object);

private:
    QJsonObject Base(const QString &sEvent, const QString &sMessage) const;
    void EndOpenLine();

    Mode m_eMode = Mode::Text;
    QString m_sJob;
    QString m_sPort;
    bool m_bTerminal = false;
    bool m_bOpenLine = false;   // a progress line waits for its end on the terminal
    QString m_sProgressStep;
    int m_nLastProgress = -1;
    QJsonObject m_record;
};

#endif // CLI_OUTPUT_H
