#pragma once
// The route table: row p (from 1) is port p as receiver, column q + 1 port q
// as transmitter; column 0 holds each port's ON/OFF switch. It shows the
// routes of the configuration model; a RouteMatrix is a cheap view over the
// table that can be made anew for each call.

#include "operations/RouteCodec.h"

#include <QByteArray>

class CheckButton;
class QSignalMapper;
class QTableWidget;

class RouteMatrix {
public:
    RouteMatrix(QTableWidget* table, QSignalMapper* mapper, int nCAN, int nFiberOptic);

    // (N + 1) x (N + 2) cells, every port routed to every other port, every
    // switch on. The switches reach applySwitch through the mapper; a rebuild
    // replaces that connection rather than adding another.
    void build() const;
    // Removes every row with its cell widgets.
    void clear() const;
    // The texts that follow the interface's language: "ON/OFF" and the
    // switches' names for assistive technology.
    void retranslate() const;
    // The switch in row p has toggled: its port's row and column follow it.
    void applySwitch(int row) const;

    // The switch of port p (from 1), and the route cell from source s to
    // destination d (ports from 0); nullptr outside the table.
    CheckButton* portSwitch(int port) const;
    CheckButton* routeCell(int source, int destination) const;

    // The states of a source's route cells, same-port cell included.
    route::Row row(int source) const;
    route::Matrix matrix() const;
    // Sets a source's route cells; the disabled same-port cell only on request.
    void setRow(int source, const route::Row& row, bool includeSamePort) const;

private:
    void addHeaderRow() const;
    void addPortRows() const;
    void showNamesInHeaders() const;
    void putSlashInCorner() const;
    int widestName() const;  // in pixels, of the texts in row 0

    QTableWidget* m_table;
    QSignalMapper* m_mapper;
    route::Ports m_ports;
};
