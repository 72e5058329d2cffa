#pragma once

// Tables: the table start tag lays out its rows and cells; each cell renders
// its raw inner HTML through a sub-instance of the engine.

#include "minihtml/tags.h"

#include <QRect>
#include <QString>

#include <vector>

class aTableSTag : public aLNInVisTag {
public:
    using aLNInVisTag::aLNInVisTag;
    QString ClassName() const override { return QStringLiteral("aTableSTag"); }
    void SetHtml(const THtmlAttributes& commands) override;
    // The whole table layout: measures every cell, then places rows and cells.
    void Update() override;

    // Rows and cells per row beyond these are not laid out and not drawn.
    static constexpr int MaxRows = 99;
    static constexpr int MaxCols = 99;
    static constexpr int MaxBorder = 20;

    int tblWidth = 0;
    int tblBorder = 1;

private:
    QString fWidthText;
};

class aTRSTag : public aInVisTag {
public:
    using aInVisTag::aInVisTag;
    QString ClassName() const override { return QStringLiteral("aTRSTag"); }
    // Counts the cells of the row.
    void Update() override;

    int ColCount = 0;
    int rowNum = 0;
};

class aTDSTag : public aVisTag {
public:
    using aVisTag::aVisTag;
    QString ClassName() const override { return QStringLiteral("aTDSTag"); }
    void SetHtml(const THtmlAttributes& commands) override;
    // The table measures its cells.
    void Update() override { }
    void Draw(TCanvas& aCanvas) override;
    // Fill, content through the sub-instance, then the border, as drawn.
    void Print() override;

    int MiniHtml = -1;
    int tblBorder = 0;
    TColor bgColor = 0xEFFEF1;
    int colNum = 0;
    int rowNum = 0;
    QString Html;
    QString WidthText;
    bool HasWidth = false;
    // Set when a table placed the cell; a cell outside any table, or beyond
    // the size limits, draws nothing.
    bool Placed = false;

protected:
    bool Shows() const override;

private:
    QRect CellBox() const;
    // The rings of the border, outermost first.
    std::vector<QRect> BorderFrames() const;
};

class aTHSTag : public aTDSTag {
public:
    using aTDSTag::aTDSTag;
    QString ClassName() const override { return QStringLiteral("aTHSTag"); }
};

MINIHTML_PLAIN_TAG(aTableETag, aInVisLNTag);
MINIHTML_PLAIN_TAG(aTRETag, aLNInVisTag);
MINIHTML_PLAIN_TAG(aTDETag, aInVisTag);
MINIHTML_PLAIN_TAG(aTHETag, aTDETag);
