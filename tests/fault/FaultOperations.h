#pragma once
// The device operations the fault suite drives, what each may tell the user,
// the faults it injects, and how long the host may wait on each exchange.

#include "sim/Faults.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace fault {

enum class Operation { Connect, Read, Write, Default, Query, Update };

struct OperationPlan {
    Operation operation;
    int family;
    const char* model;
    QString name;         // "read, family 1"
    QString successText;  // empty: success is silence
    QStringList failureTexts;
    bool silentFailures;  // a failing exchange may also end without a message
};

OperationPlan operationPlan(Operation operation, int family);

// What a fault does to the exchange it hits.
enum class Effect {
    WriteFails,    // the request does not reach the device
    AnswerFails,   // the answer is missing or short
    AnswerChanged  // a full answer with other bytes: passes where nothing is tested
};

struct InjectedFault {
    QString name;
    sim::Fault fault;
    Effect effect;
};

// No answer, an answer after its timeout, a short answer, a wrong status
// byte, garbage, a write that fails, and the device removed at the write.
QList<InjectedFault> faultsFor(int family, const QByteArray& request);

// The timeout the host is given for the answer to this request; 0 for a
// request whose answer it does not read.
int answerTimeoutMs(int family, const QByteArray& request);
// The sum of those timeouts over the requests: the longest the host may wait.
qint64 waitBudgetMs(int family, const QList<QByteArray>& requests);
// A failed answer to this request is no failure of the operation: the
// family-2 restore request is not answered, the final command's answer does
// not matter.
bool answerIgnored(int family, const QByteArray& request);

}  // namespace fault
