// The transformation sheet and the discipline colour picker, driven as a user would.

#include "federation/ControladorFederacion.h"
#include "federation/ui/EditorTransformacionDialog.h"
#include "federation/ui/SelectorColorDialog.h"

#include "scene/Primitives.h"
#include "support/Esperar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace quelva {
namespace {

class Sheets : public ::testing::Test {
protected:
    void SetUp() override
    {
        escena = scene::makeScene();
        controlador = std::make_unique<ControladorFederacion>(estado, escena, ControladorFederacion::Servicios{});
        EspecialidadBIM& arq = estado.especialidades.at("ARQ");
        arq.nodoRaiz = scene::Node::make();
        escena->rootNode()->addChild(arq.nodoRaiz);
        ModeloVinculado m;
        m.nombre = "Edificio_Arquitectura_Rev3.ifc";
        m.nodo = scene::Node::make();
        elemento = scene::Node::make(scene::makeBox(1, 1, 1));
        m.nodo->addChild(elemento);
        arq.nodoRaiz->addChild(m.nodo);
        arq.modelos.push_back(m);
    }

    ModeloVinculado& modelo() { return estado.especialidades.at("ARQ").modelos[0]; }

    void abrirEditor()
    {
        estado.transformacionEditando = modelo().transformacion;
        estado.modeloEditandoTransformacion = DireccionModelo{"ARQ", modelo().id, modelo().nombre};
        editor = presentarEditorTransformacion(*controlador, nullptr);
        ASSERT_TRUE(editor);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(editor, testsupport::kLimiteCuelgue));
    }

    // Fires the dialog's shortcut for `teclas`. Other test processes share the display and may
    // hold the focus, so the shortcut is triggered rather than typed.
    static bool atajo(QWidget* dialogo, const QKeySequence& teclas)
    {
        for (QShortcut* s : dialogo->findChildren<QShortcut*>()) {
            if (s->key() == teclas && s->isEnabled()) {
                emit s->activated();
                return true;
            }
        }
        return false;
    }

    static void escribir(QLineEdit* campo, const QString& texto)
    {
        campo->setFocus();
        campo->selectAll();
        QTest::keyClicks(campo, texto);
    }

    EstadoFederacion estado;
    scene::ScenePtr escena;
    std::unique_ptr<ControladorFederacion> controlador;
    scene::NodePtr elemento;
    QPointer<EditorTransformacionDialog> editor;
};

TEST_F(Sheets, TransformationSheetAppliesTypedValuesWithItsConfirmShortcut)
{
    abrirEditor();
    EXPECT_EQ(editor->findChild<QLabel*>()->text(), "Transformación del modelo");
    EXPECT_TRUE(editor->botonUnidades(TransformacionModelo::Unidades::metros)->isChecked());
    EXPECT_TRUE(qobject_cast<QPushButton*>(editor->botonAplicar())->isDefault());

    QTest::mouseClick(editor->botonUnidades(TransformacionModelo::Unidades::milimetros), Qt::LeftButton);
    escribir(editor->campoEje('X'), "5");
    escribir(editor->campoEje('Z'), "-1.25");
    escribir(editor->campoGiro(), "200");
    // Edits change the edited value at once, the scene only on "Aplicar".
    EXPECT_EQ(estado.transformacionEditando.unidades, TransformacionModelo::Unidades::milimetros);
    EXPECT_EQ(estado.transformacionEditando.offsetX, 5);
    EXPECT_EQ(estado.transformacionEditando.giroZ, 200);
    EXPECT_EQ(editor->deslizadorGiro()->value(), 180);
    EXPECT_EQ(modelo().nodo->scale, (scene::Vec3{1, 1, 1}));

    const QImage imagen = editor->grab().toImage();
    imagen.save(QDir::temp().filePath("quelva_editor_transformacion.png"));

    ASSERT_TRUE(atajo(editor, QKeySequence(Qt::CTRL | Qt::Key_Return)));
    QApplication::processEvents();
    EXPECT_TRUE(editor.isNull() || !editor->isVisible());
    EXPECT_FALSE(estado.modeloEditandoTransformacion);
    EXPECT_EQ(modelo().transformacion.offsetZ, -1.25);
    EXPECT_EQ(modelo().transformacion.giroZ, 200);
    EXPECT_NEAR(modelo().nodo->scale.x, 0.001, 1e-7);
    EXPECT_EQ(modelo().nodo->position, (scene::Vec3{5, 0, -1.25}));
}

TEST_F(Sheets, TransformationSheetCancelLeavesTheModelAlone)
{
    abrirEditor();
    QTest::mouseClick(editor->botonUnidades(TransformacionModelo::Unidades::pies), Qt::LeftButton);
    editor->deslizadorGiro()->setValue(45);
    EXPECT_EQ(estado.transformacionEditando.giroZ, 45);
    EXPECT_EQ(editor->campoGiro()->text(), "45");
    ASSERT_TRUE(atajo(editor, QKeySequence(Qt::CTRL | Qt::Key_Escape)));
    QApplication::processEvents();
    EXPECT_FALSE(estado.modeloEditandoTransformacion);
    EXPECT_EQ(modelo().transformacion, TransformacionModelo{});
    EXPECT_EQ(modelo().nodo->scale, (scene::Vec3{1, 1, 1}));

    // Reset then apply puts a moved model back.
    TransformacionModelo t;
    t.offsetY = 2;
    t.giroZ = 30;
    controlador->aplicarTransformacion("ARQ", modelo().id, t);
    abrirEditor();
    EXPECT_EQ(editor->campoEje('Y')->text(), "2");
    QTest::mouseClick(editor->botonRestablecer(), Qt::LeftButton);
    EXPECT_EQ(editor->campoEje('Y')->text(), "0");
    QTest::mouseClick(editor->botonAplicar(), Qt::LeftButton);
    EXPECT_EQ(modelo().nodo->position, (scene::Vec3{}));
    EXPECT_NEAR(modelo().nodo->eulerAngles().z, 0, 1e-9);
}

TEST_F(Sheets, ColourPickerShowsTheDisciplineAndAppliesTheChosenColour)
{
    estado.colorPickerKey = "ARQ";
    estado.colorPickerColor = estado.especialidades.at("ARQ").colorOriginal;
    QPointer<SelectorColorDialog> selector = presentarSelectorColor(*controlador, nullptr);
    ASSERT_TRUE(selector);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(selector, testsupport::kLimiteCuelgue));
    EXPECT_EQ(selector->titulo()->text(), "Color de Arquitectura");

    selector->elegirColor(QColor::fromRgbF(0.9f, 0.1f, 0.1f, 0.5f));
    selector->grab().toImage().save(QDir::temp().filePath("quelva_selector_color.png"));
    ASSERT_TRUE(atajo(selector, QKeySequence(Qt::CTRL | Qt::Key_Return)));
    QApplication::processEvents();
    EXPECT_FALSE(estado.colorPickerKey);
    EXPECT_NEAR(estado.especialidades.at("ARQ").colorOriginal.alphaF(), 0.5, 1e-4);

    // Cancelling changes nothing.
    estado.colorPickerKey = "ARQ";
    estado.colorPickerColor = Qt::blue;
    selector = presentarSelectorColor(*controlador, nullptr);
    ASSERT_TRUE(selector);
    QTest::mouseClick(selector->botonCancelar(), Qt::LeftButton);
    EXPECT_FALSE(estado.colorPickerKey);
    EXPECT_NEAR(estado.especialidades.at("ARQ").colorOriginal.redF(), 0.9, 1e-4);

    // No discipline under the key: the bare headline.
    estado.colorPickerKey = "NADA";
    selector = presentarSelectorColor(*controlador, nullptr);
    ASSERT_TRUE(selector);
    EXPECT_EQ(selector->titulo()->text(), "Color de ");
    selector->reject();
    EXPECT_FALSE(estado.colorPickerKey);
}

}  // namespace
}  // namespace quelva
