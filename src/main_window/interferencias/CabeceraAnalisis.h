#pragma once

#include "clash/Interferencia.h"

#include <QWidget>

#include <functional>

namespace quelva {

// The header of an analysis in the "Interferencias" card, painted in one widget (a project
// brings dozens of analyses): the open/closed arrow, the analysis's name, its open and resolved
// counts (each shown from one up) and its tolerance. A click opens or closes the section.
class CabeceraAnalisis : public QWidget {
    Q_OBJECT
public:
    CabeceraAnalisis(const AnalisisInterferencias& analisis, bool expandido, QWidget* parent = nullptr);

    std::function<void()> alPulsar;

    const QString& nombre() const { return nombre_; }
    long long abiertos() const { return abiertos_; }
    long long resueltos() const { return resueltos_; }
    // The texts shown, left to right and top to bottom: the name, the counts shown, the tolerance.
    QStringList textosMostrados() const;
    // Where the name is drawn; the help gives it whole when it is cut.
    QRect rectNombre() const;
    QString ayudaEn(QPoint p) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    QFont fuenteNombre() const;
    QFont fuenteDetalle() const;
    int altoNombre() const;
    int altoDetalle() const;
    // The width of the second line: the counts shown and the tolerance.
    int anchoDetalle() const;

    QString nombre_;
    QString tolerancia_;
    long long abiertos_ = 0;
    long long resueltos_ = 0;
    bool expandido_ = false;
};

}  // namespace quelva
