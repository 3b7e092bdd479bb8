<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Tavik Update service program</source>
        <translation>Service de mise à jour Tavik</translation>
    </message>
    <message>
        <source>now Downloading</source>
        <translation>Téléchargement en cours</translation>
    </message>
    <message>
        <source>now Installing</source>
        <translation>Installation en cours</translation>
    </message>
    <message>
        <source>Arial</source>
        <translation>Arial</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Do you want to quit will not be updated?</source>
        <translation>Voulez-vous quitter ? Le logiciel ne sera pas mis à jour.</translation>
    </message>
    <message>
        <source>Failed to read update files.
 If this error continues to occur, consult your dealer.</source>
        <translation>Impossible de lire les fichiers de mise à jour.
Si cette erreur persiste, contactez votre revendeur.</translation>
    </message>
    <message>
        <source>Failed to obtain update files. Check the network settings on your computer.
</source>
        <translation>Impossible d'obtenir les fichiers de mise à jour.
Vérifiez les paramètres réseau de votre ordinateur.</translation>
    </message>
    <message>
        <source>Faield to update.</source>
        <translation>Échec de la mise à jour.</translation>
    </message>
    <message>
        <source>Failed to save the update file.</source>
        <translation>Impossible d'enregistrer le fichier de mise à jour.</translation>
    </message>
    <message>
        <source>Failed to start the installer.</source>
        <translation>Impossible de lancer le programme d'installation.</translation>
    </message>
    <message>
        <source>The tool has the latest version.</source>
        <translation>Votre logiciel est à jour.</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>Recherche de mises à jour</translation>
    </message>
    <message>
        <source>A new version is available. Do you want to update now?</source>
        <translation>Une nouvelle version est disponible. Voulez-vous mettre à jour maintenant ?</translation>
    </message>
    <message>
        <source>Please close %1 and try again.</source>
        <translation>Fermez %1 et réessayez.</translation>
    </message>
    <message>
        <source>Invalid command line arguments.</source>
        <translation>Arguments de ligne de commande non valides.</translation>
    </message>
    <message>
        <source>Update completed.</source>
        <translation>Mise à jour terminée.</translation>
    </message>
    <message>
        <source>The update was cancelled.</source>
        <translation>La mise à jour a été annulée.</translation>
    </message>
    <message>
        <source>Version %1 is available (this is %2).
Do you want to download and install it now?</source>
        <translation>La version %1 est disponible (version actuelle : %2).
Voulez-vous la télécharger et l’installer maintenant ?</translation>
    </message>
    <message>
        <source>The installer could not open the downloaded package.
It has been saved as:
%1</source>
        <translation>Le programme d’installation n’a pas pu ouvrir le paquet téléchargé.
Il a été enregistré sous :
%1</translation>
    </message>
</context>
</TS>
