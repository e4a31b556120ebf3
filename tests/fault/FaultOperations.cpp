#include "FaultOperations.h"

#include "device/Protocol.h"

namespace fault {
namespace {

using namespace protocol;

constexpr f1::Command kFamily1Commands[] = {
    f1::kIdentify,       f1::kBoardNumber, f1::kHardwareVersion, f1::kFirmwareVersion, f1::kReadBitTiming,
    f1::kReadFilterBank, f1::kReadFibre,   f1::kReadRoute,       f1::kWriteBitTiming,  f1::kWriteFilterBank,
    f1::kWriteFibre,     f1::kWriteRoute,  f1::kReset,
};
constexpr f2::Command kFamily2Commands[] = {
    f2::kIdentify,      f2::kReadChannel,  f2::kReadFilters,     f2::kReadFibre, f2::kWriteChannel,
    f2::kWriteFilter,   f2::kWriteFibre,   f2::kRestoreDefaults, f2::kFinish,    f2::kQueryVersions,
    f2::kUpgradeLength, f2::kUpgradeBlock, f2::kUpgradeChecksum,
};

quint8 at(const QByteArray& request, int i)
{
    return i < request.size() ? quint8(request[i]) : 0;
}

// Family 1 commands are told apart by their code; family 2 configuration
// commands by code and read/write, firmware commands by code alone.
const f2::Command* family2Command(const QByteArray& request)
{
    for (const f2::Command& c : kFamily2Commands) {
        if (c.klass != at(request, 1) || c.code != at(request, 2))
            continue;
        if (c.klass == kFamily2FirmwareClass || c.argument == at(request, 3))
            return &c;
    }
    return nullptr;
}

QStringList texts(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* t : list)
        out << QString::fromLatin1(t);
    return out;
}

}  // namespace

OperationPlan operationPlan(Operation operation, int family)
{
    const bool f1 = family == kFamily1;
    const char* model = f1 ? "Vantor-A2" : "Vantor-D1";
    const QString suffix = QStringLiteral(", family %1").arg(family);
    const QStringList readFailures = f1 ? texts({"read CANBautrate fail", "read mask data fail",
                                                 "read fiber data fail", "read route data fail"})
                                        : texts({"read CANBautrate fail", "read filter standard frame fail",
                                                 "read filter extended frame fail", "read fiber data fail"});
    const QStringList writeFailures =
        f1 ? texts({"set up CANBautrate fail", "set CAN mask fail", "set fiber fail", "set route fail",
                    "send reset instruct fail", "reset fail", "reset faild"})
           : QStringList();
    switch (operation) {
        case Operation::Connect:
            return {operation, family,
                    model,     QStringLiteral("connect") + suffix,
                    QString(), texts({"search device fail"}) + readFailures,
                    f1};
        case Operation::Read:
            return {
                operation,    family, model, QStringLiteral("read") + suffix, QStringLiteral("read success"),
                readFailures, f1};
        case Operation::Write:
            return {operation,
                    family,
                    model,
                    QStringLiteral("write") + suffix,
                    QStringLiteral("set up success"),
                    writeFailures,
                    true};
        case Operation::Default:
            if (f1)
                return {operation,
                        family,
                        model,
                        QStringLiteral("default") + suffix,
                        QStringLiteral("set up success"),
                        writeFailures,
                        true};
            return {operation, family,
                    model,     QStringLiteral("default") + suffix,
                    QString(), texts({"set default fail"}),
                    false};
        case Operation::Query:
            return {operation, family,
                    model,     QStringLiteral("query") + suffix,
                    QString(), texts({"query firmware info fail"}),
                    false};
        case Operation::Update:
            return {operation,
                    family,
                    model,
                    QStringLiteral("update") + suffix,
                    QStringLiteral("update success"),
                    texts({"send fild length fail", "file length wrong", "wrong instruct",
                           "transfer file fail", "send file checksum fail"}),
                    false};
    }
    return {};
}

QList<InjectedFault> faultsFor(int family, const QByteArray& request)
{
    using sim::Fault;
    const int shortLength = family == kFamily1 ? kFamily1AnswerLength - 1 : kFamily2ReportLength - 1;
    return {
        {QStringLiteral("no answer"), Fault::noAnswer(), Effect::AnswerFails},
        {QStringLiteral("late answer"), Fault::delay(answerTimeoutMs(family, request) + 1),
         Effect::AnswerFails},
        {QStringLiteral("short answer"), Fault::shortAnswer(shortLength), Effect::AnswerFails},
        {QStringLiteral("status 01"), Fault::status(0x01), Effect::AnswerChanged},
        {QStringLiteral("garbage"), Fault::garbage(), Effect::AnswerChanged},
        {QStringLiteral("write fails"), Fault::writeFails(), Effect::WriteFails},
        {QStringLiteral("unplug"), Fault::unplug(), Effect::WriteFails},
    };
}

int answerTimeoutMs(int family, const QByteArray& request)
{
    if (family == kFamily1) {
        for (const f1::Command& c : kFamily1Commands) {
            if (c.code == at(request, 2))
                return c.timeoutMs;
        }
        return 0;
    }
    const f2::Command* c = family2Command(request);
    return c ? c->timeoutMs : 0;
}

qint64 waitBudgetMs(int family, const QList<QByteArray>& requests)
{
    qint64 sum = 0;
    for (const QByteArray& r : requests)
        sum += answerTimeoutMs(family, r);
    return sum;
}

bool answerIgnored(int family, const QByteArray& request)
{
    if (family != kFamily2)
        return false;
    const f2::Command* c = family2Command(request);
    return c && (c->code == f2::kRestoreDefaults.code || c->code == f2::kFinish.code) &&
           c->klass == kFamily2ConfigClass;
}

}  // namespace fault
