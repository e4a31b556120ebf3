#pragma once
// The operations the fault suite drives and what each may tell the user, the
// faults it injects, and how long the host may wait for each answer.

#include "E2e.h"

namespace fault {

enum class Operation { Connect, Read, Write, Default, Query, Update };

struct OperationPlan {
    Operation operation;
    int family;
    const char* model;
    QString name;           // "read, family 1"
    QString successText{};  // empty: success is silence
    QStringList failureTexts{};
    bool silentFailures = false;  // a failing exchange may also end without a message
};

inline OperationPlan operationPlan(Operation operation, int family)
{
    const bool f1 = family == 1;
    const QStringList read = f1 ? QStringList{"read CANBautrate fail", "read mask data fail",
                                              "read fiber data fail", "read route data fail"}
                                : QStringList{"read CANBautrate fail", "read filter standard frame fail",
                                              "read filter extended frame fail", "read fiber data fail"};
    const char* names[] = {"connect", "read", "write", "default", "query", "update"};
    OperationPlan p{operation, family, f1 ? "Vantor-A2" : "Vantor-D1",
                    QStringLiteral("%1, family %2").arg(QLatin1String(names[int(operation)])).arg(family)};
    if (operation == Operation::Connect || operation == Operation::Read) {
        const bool connect = operation == Operation::Connect;
        p.successText = connect ? QString() : QStringLiteral("read success");
        p.failureTexts = connect ? QStringList{"search device fail"} + read : read;
        p.silentFailures = f1;
    } else if (operation == Operation::Write || (operation == Operation::Default && f1)) {
        p.successText = QStringLiteral("set up success");
        if (f1)
            p.failureTexts = QStringList{
                "set up CANBautrate fail",  "set CAN mask fail", "set fiber fail", "set route fail",
                "send reset instruct fail", "reset fail",        "reset faild"};
        p.silentFailures = true;
    } else if (operation == Operation::Update) {
        p.successText = QStringLiteral("update success");
        p.failureTexts = QStringList{"send fild length fail", "file length wrong", "wrong instruct",
                                     "transfer file fail", "send file checksum fail"};
    } else if (operation == Operation::Default) {
        // The restored configuration is read back at once.
        p.successText =
            QStringLiteral("The factory configuration of %1 is restored.").arg(QLatin1String(p.model));
        p.failureTexts = QStringList{"set default fail"};
        for (const QString& failure : read)
            p.failureTexts << QStringLiteral(
                                  "The factory configuration of %1 is restored, but reading it back "
                                  "failed: %2 Read the configuration again to see it.")
                                  .arg(QLatin1String(p.model), failure);
    } else {
        p.failureTexts = QStringList{"query firmware info fail"};
    }
    return p;
}

// The time the host is given for the answer to a request, by its first bytes;
// 0 for a request whose answer it does not read.
inline int answerTimeoutMs(int family, const QByteArray& request)
{
    static const struct {
        int family;
        const char* prefix;
        int ms;
    } kTimeouts[] = {
        {1, "001215", 10},    {1, "001214", 10},   {1, "001201", 10},    {1, "001212", 10},
        {1, "0012a4", 100},   {1, "0012a5", 10},   {1, "001226", 100},   {1, "001228", 100},
        {1, "001223", 50},    {1, "001224", 50},   {1, "001225", 50},    {1, "001227", 50},
        {1, "001211", 4000},  {2, "01130100", 10}, {2, "01130400", 100}, {2, "01130500", 100},
        {2, "01130600", 100}, {2, "01130401", 50}, {2, "01130501", 50},  {2, "01130601", 50},
        {2, "01130701", 0},   {2, "01130801", 50}, {2, "011504", 50},    {2, "011501", 50},
        {2, "011502", 50},    {2, "011503", 50},
    };
    for (const auto& t : kTimeouts) {
        if (t.family == family && request.startsWith(QByteArray::fromHex(t.prefix)))
            return t.ms;
    }
    return 0;
}

// A failed answer to this request fails no operation: the family-2 restore
// request is not answered, the final command's answer does not matter.
inline bool answerIgnored(int family, const QByteArray& request)
{
    return family == 2 && (request.startsWith(QByteArray::fromHex("01130701")) ||
                           request.startsWith(QByteArray::fromHex("01130801")));
}

// What a fault does to the exchange it hits.
enum class Effect {
    WriteFails,     // the request does not reach the device
    AnswerFails,    // the answer is missing or short
    AnswerChanged,  // a full answer with other bytes: passes where nothing is tested
    InTime          // a slow device's answer, within the timeout: the operation succeeds
};

struct InjectedFault {
    QString name;
    sim::Fault fault;
    Effect effect;
};

inline QList<InjectedFault> faultsFor(int family, const QByteArray& request)
{
    using sim::Fault;
    return {
        {QStringLiteral("no answer"), Fault::noAnswer(), Effect::AnswerFails},
        // Real devices take tens of milliseconds: an answer after 80 % of the timeout still counts.
        {QStringLiteral("answer in time"), Fault::delay(answerTimeoutMs(family, request) * 4 / 5),
         Effect::InTime},
        {QStringLiteral("late answer"), Fault::delay(answerTimeoutMs(family, request) + 1),
         Effect::AnswerFails},
        {QStringLiteral("short answer"), Fault::shortAnswer(family == 1 ? 15 : 47), Effect::AnswerFails},
        {QStringLiteral("status 01"), Fault::status(0x01), Effect::AnswerChanged},
        {QStringLiteral("garbage"), Fault::garbage(), Effect::AnswerChanged},
        {QStringLiteral("write fails"), Fault::writeFails(), Effect::WriteFails},
        {QStringLiteral("unplug"), Fault::unplug(), Effect::WriteFails},
    };
}

// CAN pages, fibres and route rows: "2 1 4" for two CAN and one fibre channel.
inline QString editorShape(const QWidget& window)
{
    int fibres = 0;
    while (e2e::fibreSelector(window, fibres))
        ++fibres;
    return QStringLiteral("%1 %2 %3")
        .arg(e2e::child<QTabWidget>(window, "tabWidget")->count())
        .arg(fibres)
        .arg(e2e::child<QTableWidget>(window, "tableWidgetRoute")->rowCount());
}

// The first lines in which two snapshots differ, for a failure message.
inline QString snapshotDifference(const QStringList& expected, const QStringList& actual)
{
    QStringList out;
    for (int i = 0; i < qMax(expected.size(), actual.size()) && out.size() < 3; ++i) {
        if (expected.value(i) != actual.value(i))
            out << QStringLiteral("expected '%1', got '%2'").arg(expected.value(i), actual.value(i));
    }
    return out.join(QLatin1String("; "));
}

}  // namespace fault
