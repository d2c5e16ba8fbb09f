#pragma once
// Keeps a form's controls in proportion to its size: every control keeps the geometry it had at the
// form's first layout, scaled in whole per cent by the form's inner size against that first layout.

#include <QHash>
#include <QList>
#include <QString>

class QWidget;

class ResizeFrm
{
public:
    // One record of the form table or the control table; values in twips.
    struct BoyutKaydi {
        QString Name;
        int Index = 0;
        QString FormName;
        int Top = 0, Left = 0, Height = 0, Width = 0;
        int ScaleHeight = 0, ScaleWidth = 0;
    };

    // A control parked off the form keeps its negative position through every layout.
    static constexpr int ParkOffset = 75000;
    // A form moved this far down is treated as parked and not laid out.
    static constexpr int ParkedFormTop = 30000;

    // Lays out every registered control of the form; the first call registers the form.
    void ResizeForm(QWidget* form);
    void ResizeControl(QWidget* control, QWidget* form);
    int RegisterForm(QWidget* form);
    int RegisterControl(QWidget* control, const QString& formName);
    int FindForm(const QWidget* form) const;
    int FindControl(const QWidget* control, const QString& formName) const;
    int WidthPercent(QWidget* form);
    int HeightPercent(QWidget* form);
    // The pixel width a layout gives the control when the form is this many pixels wide; -1 when
    // the control has no record.
    int scaledWidth(const QWidget* control, const QWidget* form, int formWidth) const;

    const QList<BoyutKaydi>& formRecords() const { return m_forms; }
    const QList<BoyutKaydi>& controlRecords() const { return m_controls; }

    // The controls of a form in its control order: children before grandchildren of the same
    // container, containers (frames, plain widgets) opened, the inner parts of lists, grids,
    // fields and pickers left to their owners.
    static QList<QWidget*> controlsOf(const QWidget* form);

private:
    static int UnparkLeft(int v) { return v < 0 ? v + ParkOffset : v; }
    static QString keyOf(const QString& formName, const QString& name, int index);

    QList<BoyutKaydi> m_forms;
    QList<BoyutKaydi> m_controls;
    QHash<QString, int> m_controlIndex; // first record of a form name, control name and index
    bool BoyutMesgul = false;
};
