#pragma once

#include <QColor>
#include <QWidget>

#include <array>

namespace qm {

// A grid of the 16 standard colours. The left mouse button picks the
// foreground colour, any other button the background colour; the keys move
// a cursor (the selection) and "F" / "B" pick the selected cell. The cells
// of the chosen colours carry the markers "VG" (foreground), "HG"
// (background) or "VH" (both).
//
// Cell i shows the i-th of the 16 static colours of the system's default
// palette; these differ from the design colour table at cells 7 (light grey
// here) and 8 (dark grey).
class TColorGrid : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(GridOrdering gridOrdering READ gridOrdering WRITE setGridOrdering NOTIFY gridOrderingChanged)
    Q_PROPERTY(int foregroundIndex READ foregroundIndex WRITE setForegroundIndex NOTIFY changed)
    Q_PROPERTY(int backgroundIndex READ backgroundIndex WRITE setBackgroundIndex NOTIFY changed)
    Q_PROPERTY(bool foregroundEnabled READ foregroundEnabled WRITE setForegroundEnabled NOTIFY
            foregroundEnabledChanged)
    Q_PROPERTY(bool backgroundEnabled READ backgroundEnabled WRITE setBackgroundEnabled NOTIFY
            backgroundEnabledChanged)
    Q_PROPERTY(bool clickEnablesColor READ clickEnablesColor WRITE setClickEnablesColor NOTIFY
            clickEnablesColorChanged)
    Q_PROPERTY(int selection READ selection WRITE setSelection NOTIFY selectionChanged)
    Q_PROPERTY(bool ctl3D READ ctl3D WRITE setCtl3D NOTIFY ctl3DChanged)
    Q_PROPERTY(bool tabStop READ tabStop WRITE setTabStop NOTIFY tabStopChanged)

public:
    // Columns = 16 >> ordinal, rows = 1 << ordinal.
    enum GridOrdering { go16x1, go8x2, go4x4, go2x8, go1x16 };
    Q_ENUM(GridOrdering)

    static constexpr int CellCount = 16;

    explicit TColorGrid(QWidget *parent = nullptr);

    // The colour cell i shows (black for an index outside 0..15).
    static QColor cellColour(int index);
    // The colour of a marker on that cell: each of red, green and blue is 0
    // where the cell's is 128 or more, else 255.
    static QColor markerColour(int index);

    GridOrdering gridOrdering() const { return m_ordering; }
    void setGridOrdering(GridOrdering ordering);
    int columns() const { return 16 >> m_ordering; }
    int rows() const { return 1 << m_ordering; }
    int cellWidth() const { return m_cellWidth; }
    int cellHeight() const { return m_cellHeight; }

    int foregroundIndex() const { return m_foreground; }
    // Nothing happens when the value is unchanged, outside 0..15 or the
    // foreground is disabled; otherwise changed() follows.
    void setForegroundIndex(int index);
    int backgroundIndex() const { return m_background; }
    void setBackgroundIndex(int index);
    bool foregroundEnabled() const { return m_foregroundEnabled; }
    void setForegroundEnabled(bool enabled);
    bool backgroundEnabled() const { return m_backgroundEnabled; }
    void setBackgroundEnabled(bool enabled);
    bool clickEnablesColor() const { return m_clickEnables; }
    void setClickEnablesColor(bool enables);
    int selection() const { return m_selection; }
    void setSelection(int index);
    bool ctl3D() const { return m_ctl3D; }
    void setCtl3D(bool on);
    // Whether the control takes the focus (by a click or the tab key).
    bool tabStop() const { return m_tabStop; }
    void setTabStop(bool on);

    // The cell under a point of the control; the point is clamped into it.
    int cellAt(QPoint point) const;
    // The rectangle of a cell.
    QRect cellRect(int index) const;
    // The marker text of a cell: "VG", "HG", "VH" or empty.
    QString markerText(int index) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // The foreground or background index changed.
    void changed();
    void clicked();
    void gridOrderingChanged();
    void foregroundEnabledChanged();
    void backgroundEnabledChanged();
    void clickEnablesColorChanged();
    void selectionChanged();
    void ctl3DChanged();
    void tabStopChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // Width and height cut to whole multiples of the columns and rows.
    void updateGeometryOfCells();
    // A pick of the cell as foreground or background, enabling a disabled
    // colour first when clicks enable colours.
    void pick(int index, bool foreground);
    int nextCell(int key) const;

    GridOrdering m_ordering = go4x4;
    int m_foreground = 0;
    int m_background = 0;
    bool m_foregroundEnabled = true;
    bool m_backgroundEnabled = true;
    bool m_clickEnables = false;
    int m_selection = 0;
    bool m_ctl3D = true;
    bool m_tabStop = false;
    int m_cellWidth = 1;
    int m_cellHeight = 1;
    // The button held during a drag: left picks the foreground.
    bool m_dragging = false;
    bool m_dragForeground = true;
};

} // namespace qm
