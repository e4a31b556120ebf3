#pragma once
// Faults a virtual device can be told to show, each for the requests a
// FaultMatch selects.

#include <QByteArray>

namespace sim {

// Which requests a fault applies to; every condition given must hold.
struct FaultMatch {
    int exchange = 0;   // the Nth write of the host to this device, from 1; 0 any
    int klass = -1;     // request offset 1 (0x12 family 1; 0x13, 0x15 family 2); -1 any
    int code = -1;      // request offset 2, the command code; -1 any
    QByteArray prefix;  // the request starts with these bytes (offset 0 first); empty any

    static FaultMatch nth(int exchange)
    {
        FaultMatch m;
        m.exchange = exchange;
        return m;
    }
    static FaultMatch command(int klass, int code)
    {
        FaultMatch m;
        m.klass = klass;
        m.code = code;
        return m;
    }
    static FaultMatch requestStartingWith(const QByteArray& prefix)
    {
        FaultMatch m;
        m.prefix = prefix;
        return m;
    }
    bool matches(const QByteArray& request, int exchangeNumber) const
    {
        return (exchange == 0 || exchange == exchangeNumber) && (klass < 0 || quint8(request[1]) == klass) &&
               (code < 0 || quint8(request[2]) == code) && request.startsWith(prefix);
    }
};

struct Fault {
    enum Kind {
        NoAnswer,     // the request is taken, its answers are lost
        ShortAnswer,  // only value bytes of each answer are delivered
        Status,       // value replaces the status byte (index 2 family 1, index 4 family 2)
        Garbage,      // the answers are replaced by bytes of no meaning, full length
        WriteFails,   // the write returns -1; the request is not taken
        ShortWrite,   // the write reports value bytes; the request is not taken
        Delay,        // each answer arrives value ms late
        Endless,      // only the first answer, coming again at every read until the next write
        Unplug,       // the device leaves the bus at this write, which fails; the removal is raised
    };
    Kind kind;
    int value = 0;

    static Fault noAnswer() { return {NoAnswer, 0}; }
    static Fault shortAnswer(int bytes) { return {ShortAnswer, bytes}; }
    static Fault status(int byte) { return {Status, byte}; }
    static Fault garbage() { return {Garbage, 0}; }
    static Fault writeFails() { return {WriteFails, 0}; }
    static Fault shortWrite(int reported) { return {ShortWrite, reported}; }
    static Fault delay(int ms) { return {Delay, ms}; }
    static Fault endless() { return {Endless, 0}; }
    static Fault unplug() { return {Unplug, 0}; }
};

}  // namespace sim
