#pragma once

#include "dotmatrix.h"

#include <QWidget>

class QTimer;

namespace qm {

// A dot-matrix (LED) display: upper-case text in a grid of character cells of
// 6 × 9 dots, either static (one line of Items per row) or as a single line
// that scrolls from right to left, dot by dot or character by character,
// while ScrollInterval is above 0. The control takes its size from Columns,
// Rows and DotSize and takes no keyboard focus.
class TKVDOTPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption NOTIFY CaptionChanged)
    Q_PROPERTY(QStringList Items READ Items WRITE setItems NOTIFY ItemsChanged)
    Q_PROPERTY(int Columns READ Columns WRITE setColumns NOTIFY ColumnsChanged)
    Q_PROPERTY(int Rows READ Rows WRITE setRows NOTIFY RowsChanged)
    Q_PROPERTY(int DotSize READ DotSize WRITE setDotSize NOTIFY DotSizeChanged)
    Q_PROPERTY(QColor Color READ Color WRITE setColor NOTIFY ColorChanged)
    Q_PROPERTY(QColor DOTHiColor READ DOTHiColor WRITE setDOTHiColor NOTIFY DOTHiColorChanged)
    Q_PROPERTY(QColor DOTLoColor READ DOTLoColor WRITE setDOTLoColor NOTIFY DOTLoColorChanged)
    Q_PROPERTY(int ScrollInterval READ ScrollInterval WRITE setScrollInterval NOTIFY ScrollIntervalChanged)
    Q_PROPERTY(bool ScrollChar READ ScrollChar WRITE setScrollChar NOTIFY ScrollCharChanged)

public:
    static constexpr int MaxColumns = 50;
    static constexpr int MaxRows = 255;
    static constexpr int MinDotSize = 1;
    static constexpr int MaxDotSize = 20;
    static constexpr int MinScrollInterval = 20;

    explicit TKVDOTPanel(QWidget *parent = nullptr);
    ~TKVDOTPanel() override;

    QString Caption() const { return m_caption; }
    // A caption that is not empty replaces Items by this one line and
    // starts the scrolling text from its beginning.
    void setCaption(const QString &caption);

    QStringList Items() const { return m_items; }
    void setItems(const QStringList &items);

    // Character cells per row, 1..50 (larger values become 50, smaller 1).
    int Columns() const { return m_columns; }
    void setColumns(int columns);

    // Character rows, 1..255.
    int Rows() const { return m_rows; }
    void setRows(int rows);

    // Pixels per dot, 1..20.
    int DotSize() const { return m_dotSize; }
    void setDotSize(int dotSize);

    QColor Color() const { return m_colours.background; }
    void setColor(const QColor &colour);
    QColor DOTHiColor() const { return m_colours.lit; }
    void setDOTHiColor(const QColor &colour);
    QColor DOTLoColor() const { return m_colours.unlit; }
    void setDOTLoColor(const QColor &colour);

    // 0 shows the text statically; above 0 the period of a scrolling step
    // in milliseconds, at least 20. A negative value stops the scrolling,
    // puts the text back to its start and counts as 0.
    int ScrollInterval() const { return m_scrollInterval; }
    void setScrollInterval(int ms);

    // Scroll by whole characters instead of single dots.
    bool ScrollChar() const { return m_scrollChar; }
    void setScrollChar(bool byCharacter);

    bool isScrolling() const;
    // The scrolling state: the pixels the row is drawn to the left, the
    // 1-based position in the text and the characters of the cells.
    int pixelOffset() const { return m_scroller.offset(); }
    int textPosition() const { return m_scroller.position(); }
    QString displayString() const { return m_scroller.display(); }

    QSize sizeHint() const override;

signals:
    void CaptionChanged();
    void ItemsChanged();
    void ColumnsChanged();
    void RowsChanged();
    void DotSizeChanged();
    void ColorChanged();
    void DOTHiColorChanged();
    void DOTLoColorChanged();
    void ScrollIntervalChanged();
    void ScrollCharChanged();

    // After every scrolling step.
    void OnScroll();
    // Each time the scrolling text has advanced by one whole character.
    void OnStartText();
    void OnClick();
    void OnDblClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void scrollStep();
    void updateSize();

    QString m_caption;
    QStringList m_items;
    int m_columns = 10;
    int m_rows = 1;
    int m_dotSize = 3;
    DotColours m_colours;
    int m_scrollInterval = 0;
    bool m_scrollChar = false;
    bool m_leftPressed = false;
    DotScroller m_scroller;
    DotGlyphSheet m_sheet;
    QTimer *m_timer;
};

} // namespace qm
