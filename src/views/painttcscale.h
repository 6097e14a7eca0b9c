#pragma once

#include <QMap>
#include <QString>
#include <QWidget>

// The time scale above the port timelines: tick marks with labels at the columns the main window
// computed (computeScaleLabels), thinned out when they would not fit.
class PaintTcScale : public QWidget
{
    Q_OBJECT

public:
    explicit PaintTcScale(QWidget *parent = nullptr);

    // Replaces all labels (column within the timeline width -> text) and repaints.
    void setLabels(const QMap<int, QString> &labels);
    const QMap<int, QString> &labels() const { return m_mapLabels; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QMap<int, QString> m_mapLabels;
};
