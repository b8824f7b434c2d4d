#include "workflow/workflow_texts.h"

#include <array>

namespace workflow {
namespace {

struct Text {
    UINT id;
    std::array<const char*, 4> byLanguage;  // German, English, French, Spanish
};

// Only the German and the English texts are the system's own; French and Spanish are ours.
const Text kTexts[] = {
    {kTextPortActive, {"aktiv", "active", "actif", "activo"}},
    {kTextPortAvailable, {"verfügbar", "available", "disponible", "disponible"}},
    {kTextMeasurandAngle, {"Drehwinkel", "Angle", "Angle", "Ángulo"}},
    {kTextMeasurandSpeed, {"Drehzahl", "Speed", "Vitesse", "Velocidad"}},
    {kTextNotAvailable, {"nicht verfügbar", "not available", "non disponible", "no disponible"}},
    {kTextUnstableConnection,
     {"Die Verbindung zum USB-Gerät ist nicht stabil. Bitte überprüfen Sie auf korrekte Verbindungen.",
      "The connection to the USB-Device is not stable. Please check the connection.",
      "La connexion à l'appareil USB n'est pas stable. Veuillez vérifier les connexions.",
      "La conexión con el dispositivo USB no es estable. Compruebe las conexiones."}},
    {kTextUnitAdu, {"ADU", "ADU", "ADU", "ADU"}},
    {kTextUnitCelsius, {"°C", "°C", "°C", "°C"}},
    {kTextSerialNotAssigned,
     {"<this app> hat mehr als ein kompatibles Gerät gefunden. Die Seriennummer des Ersten ist Null oder "
      "wurde noch nicht vergebenen. Das Programm kann nicht fortgesetzt werden.",
      "<this app> found more than one compatible device. The serial number of the first is zero or has not "
      "yet been assigned. The application cannot continue.",
      "<this app> a trouvé plus d'un appareil compatible. Le numéro de série du premier est nul ou n'a pas "
      "encore été attribué. L'application ne peut pas continuer.",
      "<this app> ha encontrado más de un dispositivo compatible. El número de serie del primero es cero o "
      "aún no se ha asignado. La aplicación no puede continuar."}},
    {kTextCalibrationLoadCheck,
     {"Bitte prüfen Sie, ob der Sensor korrekt belastet wurde und wiederholen Sie die Justierung erneut.",
      "Please check whether the sensor was loaded correctly and repeat the adjustment.",
      "Veuillez vérifier si le capteur a été chargé correctement et recommencez l'ajustage.",
      "Compruebe si el sensor se ha cargado correctamente y repita el ajuste."}},
    {kTextOneSensorPerBus,
     {"Die Anwendung unterstützt nur einen Sensor am BUS. An der Schnittstelle:",
      "The application supports only one sensor on the bus. On the interface:",
      "L'application ne prend en charge qu'un seul capteur sur le bus. Sur l'interface :",
      "La aplicación solo admite un sensor en el bus. En la interfaz:"}},
    {kTextMoreThanOneSensor,
     {"wurde jedoch mehr als ein Sensor gefunden. Bitte entfernen Sie die überzähligen Sensoren von dieser "
      "Schnittstelle.",
      "however, more than one sensor was found. Please remove the surplus sensors from this interface.",
      "plus d'un capteur a cependant été trouvé. Veuillez retirer les capteurs en trop de cette interface.",
      "sin embargo, se ha encontrado más de un sensor. Retire los sensores sobrantes de esta interfaz."}},
    {kTextSensorsNotPrepared,
     {"Es konnten nicht alle von %s Sensoren zur Messung vorbereitet werden. Versuchen Sie bitte, den "
      "Fehlerzustand zu beheben. Dafür klicken Sie auf den Knopf 'Einzelmessung' und danach auf den Knopf "
      "'Zürück' ('^--').",
      "Not all %s sensors could be prepared for measurement. Please try to fix the error condition. To do "
      "this, click on the 'Single measurement' button and then on the 'Back' button ('^--').",
      "Tous les %s capteurs n'ont pas pu être préparés pour la mesure. Veuillez corriger l'erreur. Pour cela, "
      "cliquez sur le bouton 'Mesure unique' puis sur le bouton 'Retour' ('^--').",
      "No se han podido preparar para la medición todos los %s sensores. Intente corregir el error. Para "
      "ello, pulse el botón 'Medición única' y después el botón 'Atrás' ('^--')."}},
    {kTextNumberWordBase + 2, {"zwei", "two", "deux", "dos"}},
    {kTextNumberWordBase + 3, {"drei", "three", "trois", "tres"}},
    {kTextNumberWordBase + 4, {"vier", "four", "quatre", "cuatro"}},
    {kTextValuesOutOfStep,
     {"Die Messwerte der Sensoren laufen auseinander: ein Sensor liefert keine Werte mehr. Die Messung wurde "
      "angehalten.",
      "The measured values of the sensors are out of step: one sensor delivers no more values. The "
      "measurement was stopped.",
      "Les valeurs mesurées des capteurs sont décalées : un capteur ne fournit plus de valeurs. La mesure a "
      "été arrêtée.",
      "Los valores medidos de los sensores están desfasados: un sensor ya no entrega valores. La medición se "
      "ha detenido."}},
};

int g_languageOffset = 0;

}  // namespace

void SetWorkflowLanguage(int offset) { g_languageOffset = offset; }
int GetWorkflowLanguage() { return g_languageOffset; }

CString WorkflowText(UINT germanId)
{
    const int language = g_languageOffset / 1000;
    if (language < 0 || language > 3) return "@";
    for (const Text& text : kTexts)
        if (text.id == germanId) return text.byLanguage[static_cast<std::size_t>(language)];
    return "@";
}

}  // namespace workflow
