<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Axes</name>
    <message>
        <source>find axes</source>
        <translation>Achsen finden</translation>
    </message>
    <message>
        <source>the %1 labels could not be read</source>
        <translation>die Beschriftungen der %1-Achse konnten nicht gelesen werden</translation>
    </message>
    <message>
        <source>the %1 axis looks logarithmic but its values are not all above zero</source>
        <translation>die %1-Achse sieht logarithmisch aus, aber nicht alle ihre Werte sind größer als null</translation>
    </message>
    <message>
        <source>the only %1 labels found belong to a colour bar</source>
        <translation>die einzigen gefundenen Beschriftungen der %1-Achse gehören zu einer Farbskala</translation>
    </message>
    <message>
        <source>the %1 ticks found are too few or too close together</source>
        <translation>auf der %1-Achse wurden zu wenige oder zu dicht liegende Teilstriche gefunden</translation>
    </message>
    <message>
        <source>no tick marks were found on the %1 axis</source>
        <translation>auf der %1-Achse wurden keine Teilstriche gefunden</translation>
    </message>
    <message>
        <source>too few %1 labels could be read</source>
        <translation>zu wenige Beschriftungen der %1-Achse konnten gelesen werden</translation>
    </message>
    <message>
        <source>some %1 labels disagree with the others</source>
        <translation>einige Beschriftungen der %1-Achse passen nicht zu den übrigen</translation>
    </message>
    <message>
        <source>the %1 axis could be linear or logarithmic</source>
        <translation>die %1-Achse könnte linear oder logarithmisch sein</translation>
    </message>
    <message>
        <source>the %1 values run the unusual way</source>
        <translation>die Werte der %1-Achse laufen in der ungewöhnlichen Richtung</translation>
    </message>
    <message>
        <source>the %1 ticks are not evenly placed</source>
        <translation>die Teilstriche der %1-Achse sind nicht gleichmäßig verteilt</translation>
    </message>
    <message>
        <source>no x labels were found</source>
        <translation>es wurden keine Beschriftungen der x-Achse gefunden</translation>
    </message>
    <message>
        <source>no y labels were found</source>
        <translation>es wurden keine Beschriftungen der y-Achse gefunden</translation>
    </message>
    <message>
        <source>the %1 axis of the plot at the pointer was not found</source>
        <translation>die %1-Achse des Diagramms am Mauszeiger wurde nicht gefunden</translation>
    </message>
    <message>
        <source>the factor at the end of the %1 axis could not be read</source>
        <translation>der Faktor am Ende der %1-Achse konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>The text recognition data (Tesseract, English) could not be loaded.</source>
        <translation>Die Daten der Texterkennung (Tesseract, Englisch) konnten nicht geladen werden.</translation>
    </message>
</context>
<context>
    <name>MainMenus</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Open ...</source>
        <translation>Ö&amp;ffnen ...</translation>
    </message>
    <message>
        <source>&amp;Save Data ...</source>
        <translation>Daten &amp;speichern ...</translation>
    </message>
    <message>
        <source>Save &amp;Graphic ...</source>
        <translation>&amp;Grafik speichern ...</translation>
    </message>
    <message>
        <source>&amp;Read graphic (TWAIN)</source>
        <translation>Grafik vom Scanner &amp;lesen (TWAIN)</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Copy graphic</source>
        <translation>Grafik &amp;kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste graphic</source>
        <translation>Grafik &amp;einfügen</translation>
    </message>
    <message>
        <source>Copy &amp;Data</source>
        <translation>&amp;Daten kopieren</translation>
    </message>
    <message>
        <source>De&amp;lete data</source>
        <translation>Daten &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Normal</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <source>&amp;Fit to window</source>
        <translation>An &amp;Fenster anpassen</translation>
    </message>
    <message>
        <source>&amp;Repaint</source>
        <translation>Neu &amp;zeichnen</translation>
    </message>
    <message>
        <source>&amp;Show markers</source>
        <translation>&amp;Markierungen zeigen</translation>
    </message>
    <message>
        <source>S&amp;ort data (by X)</source>
        <translation>Daten s&amp;ortieren (nach X)</translation>
    </message>
    <message>
        <source>Rotate &amp;Graphic</source>
        <translation>Grafik &amp;drehen</translation>
    </message>
    <message>
        <source>&amp;Autoline</source>
        <translation>&amp;Autoline</translation>
    </message>
    <message>
        <source>&amp;?</source>
        <translation>&amp;?</translation>
    </message>
    <message>
        <source>&amp;Index</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>&amp;Memory info</source>
        <translation>&amp;Speicherinfo</translation>
    </message>
    <message>
        <source>Find &amp;axes</source>
        <translation>&amp;Achsen finden</translation>
    </message>
    <message>
        <source>Zoom &amp;in</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom o&amp;ut</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>&amp;Check calibration</source>
        <translation>Kalibrierung &amp;prüfen</translation>
    </message>
    <message>
        <source>Open &amp;Project ...</source>
        <translation>&amp;Projekt öffnen ...</translation>
    </message>
    <message>
        <source>Sa&amp;ve Project</source>
        <translation>Projekt spei&amp;chern</translation>
    </message>
    <message>
        <source>Save Project &amp;As ...</source>
        <translation>Projekt speichern &amp;unter ...</translation>
    </message>
    <message>
        <source>Apply &amp;calibration from project ...</source>
        <translation>&amp;Kalibrierung aus Projekt übernehmen ...</translation>
    </message>
    <message>
        <source>Copy all curve&amp;s</source>
        <translation>Alle Kurven k&amp;opieren</translation>
    </message>
    <message>
        <source>&amp;New curve</source>
        <translation>&amp;Neue Kurve</translation>
    </message>
    <message>
        <source>Delete cur&amp;ve</source>
        <translation>Kur&amp;ve löschen</translation>
    </message>
    <message>
        <source>Rena&amp;me curve</source>
        <translation>Kurve &amp;umbenennen</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>An error occurred while scanning the picture. Maybe there is too little memory. Close some applications.</source>
        <translation>Beim Scannen der Grafik ist ein Fehler aufgetreten. Vielleicht ist zu wenig Speicher frei. Schließen Sie einige Anwendungen.</translation>
    </message>
</context>
<context>
    <name>MetafileProgress</name>
    <message>
        <source>Drawing the metafile ...</source>
        <translation>Die Metadatei wird gezeichnet ...</translation>
    </message>
</context>
<context>
    <name>Pictures</name>
    <message>
        <source>The picture is %1 x %2 pixels; at most %3 pixels are allowed in each direction.</source>
        <translation>Die Grafik hat %1 x %2 Pixel; in jeder Richtung sind höchstens %3 Pixel erlaubt.</translation>
    </message>
    <message>
        <source>There is not enough memory for a picture of %1 x %2 pixels.</source>
        <translation>Für eine Grafik von %1 x %2 Pixeln ist nicht genug Speicher frei.</translation>
    </message>
    <message>
        <source>The picture file is incomplete.</source>
        <translation>Die Grafikdatei ist unvollständig.</translation>
    </message>
    <message>
        <source>The file is not a picture in a known format, or it is damaged.</source>
        <translation>Die Datei ist keine Grafik in einem bekannten Format, oder sie ist beschädigt.</translation>
    </message>
    <message>
        <source>The picture of %1 x %2 pixels would need %3 MB of memory to be read; at most %4 MB are allowed for one picture.</source>
        <translation>Die Grafik von %1 x %2 Pixeln bräuchte zum Lesen %3 MB Speicher; für eine Grafik sind höchstens %4 MB erlaubt.</translation>
    </message>
    <message>
        <source>The picture could not be read: %1</source>
        <translation>Die Grafik konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The file %1 does not exist.</source>
        <translation>Die Datei %1 gibt es nicht.</translation>
    </message>
    <message>
        <source>%1 is a folder, not a picture file.</source>
        <translation>%1 ist ein Ordner, keine Grafikdatei.</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>The file %1 cannot be read: %2</source>
        <translation>Die Datei %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The file %1 is empty.</source>
        <translation>Die Datei %1 ist leer.</translation>
    </message>
    <message>
        <source>The file %1 is not a Windows Metafile.</source>
        <translation>Die Datei %1 ist keine Windows-Metadatei.</translation>
    </message>
    <message>
        <source>There is no picture.</source>
        <translation>Es gibt keine Grafik.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Es gibt keine Grafik zum Speichern.</translation>
    </message>
    <message>
        <source>There is not enough memory to write %1</source>
        <translation>Zum Schreiben von %1 ist nicht genug Speicher frei</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The file is not a Windows Metafile, or its header is damaged.</source>
        <translation>Die Datei ist keine Windows-Metadatei, oder ihr Kopf ist beschädigt.</translation>
    </message>
    <message>
        <source>The Windows Metafile is incomplete.</source>
        <translation>Die Windows-Metadatei ist unvollständig.</translation>
    </message>
    <message>
        <source>No temporary folder for drawing the metafile: %1</source>
        <translation>Kein temporärer Ordner zum Zeichnen der Metadatei: %1</translation>
    </message>
    <message>
        <source>The metafile converter %1 could not be started: %2</source>
        <translation>Der Metadatei-Umwandler %1 konnte nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>Drawing the metafile was cancelled.</source>
        <translation>Das Zeichnen der Metadatei wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Drawing the metafile took too long and was stopped.</source>
        <translation>Das Zeichnen der Metadatei dauerte zu lange und wurde beendet.</translation>
    </message>
    <message>
        <source>The metafile could not be drawn.</source>
        <translation>Die Metadatei konnte nicht gezeichnet werden.</translation>
    </message>
    <message>
        <source>The metafile could not be drawn: %1</source>
        <translation>Die Metadatei konnte nicht gezeichnet werden: %1</translation>
    </message>
    <message>
        <source>The file is not a PDF document, or its header is damaged.</source>
        <translation>Die Datei ist kein PDF-Dokument, oder ihr Kopf ist beschädigt.</translation>
    </message>
    <message>
        <source>The PDF document is incomplete.</source>
        <translation>Das PDF-Dokument ist unvollständig.</translation>
    </message>
    <message>
        <source>The PDF document is protected by a password.</source>
        <translation>Das PDF-Dokument ist durch ein Passwort geschützt.</translation>
    </message>
    <message>
        <source>The PDF document is damaged.</source>
        <translation>Das PDF-Dokument ist beschädigt.</translation>
    </message>
    <message>
        <source>The PDF document has no page to show.</source>
        <translation>Das PDF-Dokument hat keine Seite, die gezeigt werden kann.</translation>
    </message>
    <message>
        <source>The page is too large at this resolution (%1 pixels); at most %2 pixels are allowed in each direction.</source>
        <translation>Die Seite ist bei dieser Auflösung zu groß (%1 Pixel); in jeder Richtung sind höchstens %2 Pixel erlaubt.</translation>
    </message>
    <message>
        <source>The page could not be drawn; there may not be enough memory at this resolution.</source>
        <translation>Die Seite konnte nicht gezeichnet werden; bei dieser Auflösung ist vielleicht nicht genug Speicher frei.</translation>
    </message>
    <message>
        <source>The drawn page could not be saved in the temporary folder.</source>
        <translation>Die gezeichnete Seite konnte nicht im temporären Ordner gespeichert werden.</translation>
    </message>
    <message>
        <source>The PDF document could not be read.</source>
        <translation>Das PDF-Dokument konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The PDF document could not be read: %1</source>
        <translation>Das PDF-Dokument konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The PDF helper %1 could not be started: %2</source>
        <translation>Das PDF-Hilfsprogramm %1 konnte nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>Reading the PDF document was cancelled.</source>
        <translation>Das Lesen des PDF-Dokuments wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Reading the PDF document took too long and was stopped.</source>
        <translation>Das Lesen des PDF-Dokuments dauerte zu lange und wurde beendet.</translation>
    </message>
    <message>
        <source>The PDF helper stopped on this document; it may be damaged.</source>
        <translation>Das PDF-Hilfsprogramm ist bei diesem Dokument stehen geblieben; es ist vielleicht beschädigt.</translation>
    </message>
    <message>
        <source>The PDF helper gave an answer that cannot be read.</source>
        <translation>Das PDF-Hilfsprogramm gab eine Antwort, die nicht gelesen werden kann.</translation>
    </message>
    <message>
        <source> Choose %1 dpi or less.</source>
        <translation> Wählen Sie %1 dpi oder weniger.</translation>
    </message>
    <message>
        <source>No temporary folder for the PDF page: %1</source>
        <translation>Kein temporärer Ordner für die PDF-Seite: %1</translation>
    </message>
    <message>
        <source>The page could not be drawn: %1</source>
        <translation>Die Seite konnte nicht gezeichnet werden: %1</translation>
    </message>
    <message>
        <source>The page was drawn at %1 x %2 pixels instead of %3 x %4.</source>
        <translation>Die Seite wurde mit %1 x %2 Pixeln statt %3 x %4 gezeichnet.</translation>
    </message>
</context>
<context>
    <name>PointTables</name>
    <message>
        <source>capture point</source>
        <translation>Punkt erfassen</translation>
    </message>
    <message>
        <source>delete data</source>
        <translation>Daten löschen</translation>
    </message>
    <message>
        <source>delete point</source>
        <translation>Punkt löschen</translation>
    </message>
</context>
<context>
    <name>Projects</name>
    <message>
        <source>The file is not a Chartrek project or is damaged: %1.</source>
        <translation>Die Datei ist kein Chartrek-Projekt oder ist beschädigt: %1.</translation>
    </message>
    <message>
        <source>an entry cannot be read</source>
        <translation>ein Eintrag kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>an entry is encrypted</source>
        <translation>ein Eintrag ist verschlüsselt</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is larger than any project holds</source>
        <translation>&quot;%1&quot; ist größer als alles, was ein Projekt enthält</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is truncated or corrupted</source>
        <translation>&quot;%1&quot; ist abgeschnitten oder verfälscht</translation>
    </message>
    <message>
        <source>the project could not be packed (out of memory?)</source>
        <translation>das Projekt konnte nicht gepackt werden (zu wenig Speicher?)</translation>
    </message>
    <message>
        <source>it holds %1 entries</source>
        <translation>sie enthält %1 Einträge</translation>
    </message>
    <message>
        <source>it holds an entry named outside the project (&quot;%1&quot;)</source>
        <translation>sie enthält einen Eintrag mit einem Namen außerhalb des Projekts (&quot;%1&quot;)</translation>
    </message>
    <message>
        <source>&quot;mimetype&quot;, &quot;project.json&quot; or &quot;picture.png&quot; is missing</source>
        <translation>&quot;mimetype&quot;, &quot;project.json&quot; oder &quot;picture.png&quot; fehlt</translation>
    </message>
    <message>
        <source>its type is &quot;%1&quot;</source>
        <translation>ihr Typ ist &quot;%1&quot;</translation>
    </message>
    <message>
        <source>The project cannot be opened: %1.</source>
        <translation>Das Projekt kann nicht geöffnet werden: %1.</translation>
    </message>
    <message>
        <source>its picture is not of the size its description says</source>
        <translation>ihre Grafik hat nicht die Größe, die ihre Beschreibung angibt</translation>
    </message>
    <message>
        <source>its picture cannot be read: %1</source>
        <translation>ihre Grafik kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The project cannot be read: %1.</source>
        <translation>Das Projekt kann nicht gelesen werden: %1.</translation>
    </message>
    <message>
        <source>it is larger than any project</source>
        <translation>sie ist größer als jedes Projekt</translation>
    </message>
    <message>
        <source>is not an object</source>
        <translation>ist kein Objekt</translation>
    </message>
    <message>
        <source>is not a list</source>
        <translation>ist keine Liste</translation>
    </message>
    <message>
        <source>holds more than %1 entries</source>
        <translation>enthält mehr als %1 Einträge</translation>
    </message>
    <message>
        <source>is not true or false</source>
        <translation>ist weder true noch false</translation>
    </message>
    <message>
        <source>is not a number</source>
        <translation>ist keine Zahl</translation>
    </message>
    <message>
        <source>is not a whole number from %1 to %2</source>
        <translation>ist keine ganze Zahl von %1 bis %2</translation>
    </message>
    <message>
        <source>is not a text of at most %1 characters</source>
        <translation>ist kein Text von höchstens %1 Zeichen</translation>
    </message>
    <message>
        <source>lies outside every picture</source>
        <translation>liegt außerhalb jeder Grafik</translation>
    </message>
    <message>
        <source>is empty</source>
        <translation>ist leer</translation>
    </message>
    <message>
        <source>is not a colour &quot;#rrggbb&quot;</source>
        <translation>ist keine Farbe &quot;#rrggbb&quot;</translation>
    </message>
    <message>
        <source>hold more than %1 points</source>
        <translation>enthalten mehr als %1 Punkte</translation>
    </message>
    <message>
        <source>is not a list of four numbers</source>
        <translation>ist keine Liste von vier Zahlen</translation>
    </message>
    <message>
        <source>is not &quot;normal&quot;, &quot;fit&quot; or &quot;zoom&quot;</source>
        <translation>ist nicht &quot;normal&quot;, &quot;fit&quot; oder &quot;zoom&quot;</translation>
    </message>
    <message>
        <source>is not a scale</source>
        <translation>ist kein Maßstab</translation>
    </message>
    <message>
        <source>its description is not readable (%1)</source>
        <translation>ihre Beschreibung ist nicht lesbar (%1)</translation>
    </message>
    <message>
        <source>it was saved by a newer version of Chartrek (format %1; this version reads format %2)</source>
        <translation>es wurde von einer neueren Version von Chartrek gespeichert (Format %1; diese Version liest Format %2)</translation>
    </message>
</context>
<context>
    <name>ReferenceCapture</name>
    <message>
        <source>Recalculate existing data?</source>
        <translation>Vorhandene Daten neu berechnen?</translation>
    </message>
    <message>
        <source>You have to determine the origin first.</source>
        <translation>Sie müssen zuerst den Ursprung festlegen.</translation>
    </message>
    <message>
        <source>set reference</source>
        <translation>Bezugspunkt setzen</translation>
    </message>
</context>
<context>
    <name>Scanner</name>
    <message>
        <source>The scanner library could not be started: %1</source>
        <translation>Die Scanner-Bibliothek konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>The scanners could not be listed: %1</source>
        <translation>Die Scanner konnten nicht aufgelistet werden: %1</translation>
    </message>
    <message>
        <source>The scanner sent no picture data.</source>
        <translation>Der Scanner hat keine Bilddaten gesendet.</translation>
    </message>
    <message>
        <source>The scanner sent %1 of %2 lines.</source>
        <translation>Der Scanner hat %1 von %2 Zeilen gesendet.</translation>
    </message>
    <message>
        <source>There is not enough memory for a scanned picture of %1 x %2 pixels.</source>
        <translation>Für eine gescannte Grafik von %1 x %2 Pixeln ist nicht genug Speicher frei.</translation>
    </message>
    <message>
        <source>The scanner sent an unexpected sequence of colour frames.</source>
        <translation>Der Scanner hat Farbauszüge in unerwarteter Folge gesendet.</translation>
    </message>
    <message>
        <source>The scanner sent colour frames of different sizes.</source>
        <translation>Der Scanner hat Farbauszüge verschiedener Größe gesendet.</translation>
    </message>
    <message>
        <source>The scanner sends pictures in a form this program cannot read (frame type %1).</source>
        <translation>Der Scanner sendet Grafiken in einer Form, die dieses Programm nicht lesen kann (Auszugstyp %1).</translation>
    </message>
    <message>
        <source>The scanner sends %1 bits per sample; 1, 8 or 16 can be read.</source>
        <translation>Der Scanner sendet %1 Bit je Wert; lesbar sind 1, 8 oder 16.</translation>
    </message>
    <message>
        <source>The scanner reported an impossible picture size.</source>
        <translation>Der Scanner hat eine unmögliche Bildgröße gemeldet.</translation>
    </message>
    <message>
        <source>The scanner sent an unexpected sequence of frames.</source>
        <translation>Der Scanner hat Auszüge in unerwarteter Folge gesendet.</translation>
    </message>
    <message>
        <source>The scanner sent %1 colour frames instead of three.</source>
        <translation>Der Scanner hat %1 Farbauszüge statt drei gesendet.</translation>
    </message>
    <message>
        <source>The scan was cancelled.</source>
        <translation>Das Scannen wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The scanned picture would be larger than %1 pixels.</source>
        <translation>Die gescannte Grafik wäre größer als %1 Pixel.</translation>
    </message>
    <message>
        <source>The scanner has no option &quot;%1&quot;.</source>
        <translation>Der Scanner hat keine Einstellung „%1“.</translation>
    </message>
    <message>
        <source>The scanner option &quot;%1&quot; cannot be set now.</source>
        <translation>Die Scanner-Einstellung „%1“ kann jetzt nicht gesetzt werden.</translation>
    </message>
    <message>
        <source>The scanner option &quot;%1&quot; cannot take the value &quot;%2&quot;.</source>
        <translation>Die Scanner-Einstellung „%1“ kann den Wert „%2“ nicht annehmen.</translation>
    </message>
    <message>
        <source>The scanner option &quot;%1&quot; could not be set: %2</source>
        <translation>Die Scanner-Einstellung „%1“ konnte nicht gesetzt werden: %2</translation>
    </message>
    <message>
        <source>The scan could not be started: %1</source>
        <translation>Das Scannen konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>The scanner did not describe its picture: %1</source>
        <translation>Der Scanner hat seine Grafik nicht beschrieben: %1</translation>
    </message>
    <message>
        <source>The scanner sent more frames than a picture has.</source>
        <translation>Der Scanner hat mehr Auszüge gesendet, als eine Grafik hat.</translation>
    </message>
    <message>
        <source>The scanner stopped: %1</source>
        <translation>Der Scanner hat angehalten: %1</translation>
    </message>
    <message>
        <source>The scanner reported %1 bytes read into %2.</source>
        <translation>Der Scanner meldete %1 gelesene Bytes in %2.</translation>
    </message>
    <message>
        <source>The scanner &quot;%1&quot; could not be opened: %2</source>
        <translation>Der Scanner „%1“ konnte nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>There is not enough memory for the scanned picture.</source>
        <translation>Für die gescannte Grafik ist nicht genug Speicher frei.</translation>
    </message>
    <message>
        <source>Scanning ...</source>
        <translation>Scannen ...</translation>
    </message>
    <message>
        <source>Cancelling ...</source>
        <translation>Abbrechen ...</translation>
    </message>
</context>
<context>
    <name>Toolbar</name>
    <message>
        <source>open graphic</source>
        <translation>Grafik öffnen</translation>
    </message>
    <message>
        <source>get graphic from scanner</source>
        <translation>Grafik vom Scanner holen</translation>
    </message>
    <message>
        <source>select arrow</source>
        <translation>Auswahlpfeil</translation>
    </message>
    <message>
        <source>get points</source>
        <translation>Punkte erfassen</translation>
    </message>
    <message>
        <source>autoline</source>
        <translation>Autoline</translation>
    </message>
    <message>
        <source>draw a line</source>
        <translation>eine Linie zeichnen</translation>
    </message>
    <message>
        <source>zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>show 1:1</source>
        <translation>1:1 zeigen</translation>
    </message>
    <message>
        <source>fit to window</source>
        <translation>an Fenster anpassen</translation>
    </message>
    <message>
        <source>repaint</source>
        <translation>neu zeichnen</translation>
    </message>
    <message>
        <source>undo</source>
        <translation>rückgängig</translation>
    </message>
    <message>
        <source>redo</source>
        <translation>wiederherstellen</translation>
    </message>
    <message>
        <source>delete data</source>
        <translation>Daten löschen</translation>
    </message>
    <message>
        <source>find axes</source>
        <translation>Achsen finden</translation>
    </message>
</context>
<context>
    <name>chartrek::AutoLineSetup</name>
    <message>
        <source>Delete existing data?</source>
        <translation>Vorhandene Daten löschen?</translation>
    </message>
    <message>
        <source>The ending point must lie on the picture. Click on the line where reading should end.</source>
        <translation>Der Endpunkt muss auf der Grafik liegen. Klicken Sie auf die Linie, wo das Lesen enden soll.</translation>
    </message>
    <message>
        <source>You made it in the wrong order.<byte value="xd"/>
The order must be: starting point &lt; distance point &lt; ending point.</source>
        <translation>Die Reihenfolge ist falsch.<byte value="xd"/>
Sie muss lauten: Startpunkt &lt; Abstandspunkt &lt; Endpunkt.</translation>
    </message>
    <message>
        <source>Autoline</source>
        <translation>Autoline</translation>
    </message>
    <message>
        <source>Line read. %1 points were read.</source>
        <translation>Linie gelesen. %1 Punkte wurden gelesen.</translation>
    </message>
</context>
<context>
    <name>chartrek::CurveCommands</name>
    <message>
        <source>new curve</source>
        <translation>neue Kurve</translation>
    </message>
    <message>
        <source>Delete the curve &quot;%1&quot; and its %2 points?</source>
        <translation>Die Kurve &quot;%1&quot; und ihre %2 Punkte löschen?</translation>
    </message>
    <message>
        <source>delete curve</source>
        <translation>Kurve löschen</translation>
    </message>
    <message>
        <source>rename curve</source>
        <translation>Kurve umbenennen</translation>
    </message>
    <message>
        <source>curve colour</source>
        <translation>Kurvenfarbe</translation>
    </message>
</context>
<context>
    <name>chartrek::Curves</name>
    <message>
        <source>Curve %1</source>
        <translation>Kurve %1</translation>
    </message>
</context>
<context>
    <name>chartrek::DataExport</name>
    <message>
        <source>There are no data available.</source>
        <translation>Es sind keine Daten vorhanden.</translation>
    </message>
    <message>
        <source>Text (tab separated) (*.txt)</source>
        <translation>Text (Tabulator-getrennt) (*.txt)</translation>
    </message>
    <message>
        <source>CSV (comma separated) (*.csv)</source>
        <translation>CSV (Komma-getrennt) (*.csv)</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>Daten speichern</translation>
    </message>
    <message>
        <source>a value holds a character other than plain ASCII</source>
        <translation>ein Wert enthält ein Zeichen außerhalb von reinem ASCII</translation>
    </message>
    <message>
        <source>An error occurred while saving: %1. If the problem is permanent, please copy the data via the clipboard.</source>
        <translation>Beim Speichern ist ein Fehler aufgetreten: %1. Wenn das Problem bleibt, kopieren Sie die Daten bitte über die Zwischenablage.</translation>
    </message>
    <message>
        <source>The data were saved as %1.</source>
        <translation>Die Daten wurden als %1 gespeichert.</translation>
    </message>
    <message>
        <source>All curves, a block each (*.txt)</source>
        <translation>Alle Kurven, je ein Block (*.txt)</translation>
    </message>
    <message>
        <source>All curves, comma-separated (*.csv)</source>
        <translation>Alle Kurven, Komma-getrennt (*.csv)</translation>
    </message>
</context>
<context>
    <name>chartrek::FindAxes</name>
    <message>
        <source>%1 %2 (%3 ticks)</source>
        <translation>%1 %2 (%3 Teilstriche)</translation>
    </message>
    <message>
        <source>logarithmic</source>
        <translation>logarithmisch</translation>
    </message>
    <message>
        <source>linear</source>
        <translation>linear</translation>
    </message>
    <message>
        <source>No axis could be found with certainty; the calibration is unchanged.</source>
        <translation>Es konnte keine Achse sicher gefunden werden; die Kalibrierung bleibt unverändert.</translation>
    </message>
    <message>
        <source>Finding the axes...</source>
        <translation>Die Achsen werden gesucht ...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Find axes</source>
        <translation>Achsen finden</translation>
    </message>
    <message>
        <source>Find axes cancelled</source>
        <translation>Achsensuche abgebrochen</translation>
    </message>
    <message>
        <source>The picture changed during Find axes; nothing was set</source>
        <translation>Das Bild hat sich während der Achsensuche geändert; nichts wurde übernommen</translation>
    </message>
    <message>
        <source>Axes found, sure: %1, %2</source>
        <translation>Achsen gefunden, sicher: %1, %2</translation>
    </message>
    <message>
        <source>%1 axis found, sure: %2; the %3 axis is unchanged: %4</source>
        <translation>%1-Achse gefunden, sicher: %2; die %3-Achse bleibt unverändert: %4</translation>
    </message>
    <message>
        <source>Axes not found: %1; %2</source>
        <translation>Achsen nicht gefunden: %1; %2</translation>
    </message>
    <message>
        <source>Axes not found: %1</source>
        <translation>Achsen nicht gefunden: %1</translation>
    </message>
</context>
<context>
    <name>chartrek::GraphicLoading</name>
    <message>
        <source>Reading the pages of the PDF document ...</source>
        <translation>Die Seiten des PDF-Dokuments werden gelesen ...</translation>
    </message>
    <message>
        <source>Drawing the PDF page ...</source>
        <translation>Die PDF-Seite wird gezeichnet ...</translation>
    </message>
    <message>
        <source>The picture is too big. Please reduce the size of the picture to at most 32760 pixels in height and width.</source>
        <translation>Die Grafik ist zu groß. Bitte verkleinern Sie die Grafik auf höchstens 32760 Pixel in Höhe und Breite.</translation>
    </message>
    <message>
        <source>Delete existing data?</source>
        <translation>Vorhandene Daten löschen?</translation>
    </message>
    <message>
        <source>Open Graphic</source>
        <translation>Grafik laden:</translation>
    </message>
    <message>
        <source>Pictures (*.bmp *.dip *.wmf *.jpg *.jpeg *.png *.gif *.tif *.tiff *.webp *.pdf)</source>
        <translation>Grafiken (*.bmp *.dip *.wmf *.jpg *.jpeg *.png *.gif *.tif *.tiff *.webp *.pdf)</translation>
    </message>
    <message>
        <source>The graphic could not be loaded: %1</source>
        <translation>Die Grafik konnte nicht geladen werden: %1</translation>
    </message>
    <message>
        <source>There is no graphic in the clipboard, or the graphic format is unknown.</source>
        <translation>In der Zwischenablage ist keine Grafik, oder das Grafikformat ist unbekannt.</translation>
    </message>
</context>
<context>
    <name>chartrek::GraphicSaving</name>
    <message>
        <source>Save Graphic</source>
        <translation>Diagramm speichern</translation>
    </message>
    <message>
        <source>Bitmap (*.bmp)</source>
        <translation>Bitmap (*.bmp)</translation>
    </message>
    <message>
        <source>An error occurred while saving the graphic: %1. If the problem is permanent, please copy the graphic via the clipboard.</source>
        <translation>Beim Speichern der Grafik ist ein Fehler aufgetreten: %1. Wenn das Problem bleibt, kopieren Sie die Grafik bitte über die Zwischenablage.</translation>
    </message>
    <message>
        <source>The graphic was saved as %1.</source>
        <translation>Die Grafik wurde als %1 gespeichert.</translation>
    </message>
</context>
<context>
    <name>chartrek::HelpWindow</name>
    <message>
        <source>Chartrek Help</source>
        <translation>Chartrek-Hilfe</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <translation>&amp;Vor</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Chartrek Help - %1</source>
        <translation>Chartrek-Hilfe - %1</translation>
    </message>
</context>
<context>
    <name>chartrek::PdfPageDialog</name>
    <message>
        <source>Page %1</source>
        <translation>Seite %1</translation>
    </message>
    <message>
        <source>Open a page of the PDF document</source>
        <translation>Eine Seite des PDF-Dokuments öffnen</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Auflösung</translation>
    </message>
    <message>
        <source>%1 dpi</source>
        <translation>%1 dpi</translation>
    </message>
    <message>
        <source>&amp;Other:</source>
        <translation>&amp;Andere:</translation>
    </message>
    <message>
        <source> dpi</source>
        <translation> dpi</translation>
    </message>
    <message>
        <source>Edges</source>
        <translation>Kanten</translation>
    </message>
    <message>
        <source>&amp;Sharp (exact colors, for Autoline)</source>
        <translation>&amp;Scharf (genaue Farben, für Autoline)</translation>
    </message>
    <message>
        <source>S&amp;mooth</source>
        <translation>&amp;Geglättet</translation>
    </message>
    <message>
        <source>The document has 1 page.</source>
        <translation>Das Dokument hat 1 Seite.</translation>
    </message>
    <message>
        <source>The document has %1 pages.</source>
        <translation>Das Dokument hat %1 Seiten.</translation>
    </message>
    <message>
        <source>Choose the page to open:</source>
        <translation>Wählen Sie die Seite zum Öffnen:</translation>
    </message>
    <message>
        <source>&amp;Page:</source>
        <translation>Sei&amp;te:</translation>
    </message>
</context>
<context>
    <name>chartrek::PointDeletion</name>
    <message>
        <source>Delete this point?</source>
        <translation>Diesen Punkt löschen?</translation>
    </message>
    <message>
        <source>Do you wish to delete this point?</source>
        <translation>Möchten Sie diesen Punkt löschen?</translation>
    </message>
    <message>
        <source>Delete existing data?</source>
        <translation>Vorhandene Daten löschen?</translation>
    </message>
</context>
<context>
    <name>chartrek::ProjectDocument</name>
    <message>
        <source>Save changes?</source>
        <translation>Änderungen speichern?</translation>
    </message>
    <message>
        <source>Save Project</source>
        <translation>Projekt speichern</translation>
    </message>
    <message>
        <source>Open Project</source>
        <translation>Projekt öffnen</translation>
    </message>
    <message>
        <source>Chartrek project (*.chartrek)</source>
        <translation>Chartrek-Projekt (*.chartrek)</translation>
    </message>
    <message>
        <source>Values saved in the project differ from those its calibration gives (%1 of them); the values shown are computed again from the points.</source>
        <translation>Im Projekt gespeicherte Werte weichen von denen ab, die seine Kalibrierung ergibt (%1 davon); die gezeigten Werte werden aus den Punkten neu berechnet.</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>The project could not be saved: %1.</source>
        <translation>Das Projekt konnte nicht gespeichert werden: %1.</translation>
    </message>
    <message>
        <source>There is no picture to save as a project.</source>
        <translation>Es gibt keine Grafik, die als Projekt gespeichert werden kann.</translation>
    </message>
    <message>
        <source>apply calibration</source>
        <translation>Kalibrierung übernehmen</translation>
    </message>
</context>
<context>
    <name>chartrek::RecentFiles</name>
    <message>
        <source>The file %1 cannot be found. It has been removed from the list of recent files.</source>
        <translation>Die Datei %1 wurde nicht gefunden. Sie wurde aus der Liste der zuletzt geöffneten Dateien entfernt.</translation>
    </message>
</context>
<context>
    <name>chartrek::RotateGraphic</name>
    <message>
        <source>Enter a number between -360.00 and 360.00 for the angle.</source>
        <translation>Geben Sie für den Winkel eine Zahl zwischen -360,00 und 360,00 ein.</translation>
    </message>
    <message>
        <source>Select the left point</source>
        <translation>Punkt links auswählen</translation>
    </message>
    <message>
        <source>Select the right point</source>
        <translation>Punkt rechts auswählen</translation>
    </message>
</context>
<context>
    <name>chartrek::ScalePanel</name>
    <message>
        <source>get</source>
        <translation>hole</translation>
    </message>
    <message>
        <source>get origin</source>
        <translation>Ursprung holen</translation>
    </message>
    <message>
        <source>enter the lower X-value here</source>
        <translation>hier den unteren X-Wert eingeben</translation>
    </message>
    <message>
        <source>enter the upper X-value here</source>
        <translation>hier den oberen X-Wert eingeben</translation>
    </message>
    <message>
        <source>enter the lower Y-value here</source>
        <translation>hier den unteren Y-Wert eingeben</translation>
    </message>
    <message>
        <source>enter the upper Y-value here</source>
        <translation>hier den oberen Y-Wert eingeben</translation>
    </message>
    <message>
        <source>chain/unchain (X1,Y1)</source>
        <translation>verketten/lösen (X1,Y1)</translation>
    </message>
    <message>
        <source>chain/unchain (X2,Y2)</source>
        <translation>verketten/lösen (X2,Y2)</translation>
    </message>
    <message>
        <source>check for log-scale X</source>
        <translation>ankreuzen für logarithmische X-Achse</translation>
    </message>
    <message>
        <source>check for log-scale Y</source>
        <translation>ankreuzen für logarithmische Y-Achse</translation>
    </message>
    <message>
        <source>change scale</source>
        <translation>Skala ändern</translation>
    </message>
</context>
<context>
    <name>chartrek::ScannerReading</name>
    <message>
        <source>The picture is too big. To reduce the size of the picture<byte value="xd"/>
to at most 32760 pixels in height and width, select a smaller resolution for the scan.</source>
        <translation>Die Grafik ist zu groß. Um die Grafik auf höchstens 32760 Pixel<byte value="xd"/>
in Höhe und Breite zu verkleinern, wählen Sie eine kleinere Auflösung für das Scannen.</translation>
    </message>
    <message>
        <source>The device was not found, or cancel was selected.</source>
        <translation>Das Gerät wurde nicht gefunden, oder es wurde Abbrechen gewählt.</translation>
    </message>
    <message>
        <source>TWAIN device not ready</source>
        <translation>TWAIN-Gerät nicht bereit</translation>
    </message>
</context>
<context>
    <name>chartrek::ScannerSelectDialog</name>
    <message>
        <source>Looking for scanners ...</source>
        <translation>Scanner werden gesucht ...</translation>
    </message>
    <message>
        <source>Select Source</source>
        <translation>Quelle wählen</translation>
    </message>
    <message>
        <source>No scanner was found.</source>
        <translation>Es wurde kein Scanner gefunden.</translation>
    </message>
    <message>
        <source>Choose the scanner:</source>
        <translation>Wählen Sie den Scanner:</translation>
    </message>
</context>
<context>
    <name>chartrek::Settings</name>
    <message>
        <source>The settings file %1 is damaged. Chartrek starts with its usual settings.</source>
        <translation>Die Einstellungsdatei %1 ist beschädigt. Chartrek startet mit seinen üblichen Einstellungen.</translation>
    </message>
    <message>
        <source>The damaged file is kept as %1.</source>
        <translation>Die beschädigte Datei wird als %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read. Chartrek starts with its usual settings.</source>
        <translation>Die Einstellungsdatei %1 kann nicht gelesen werden. Chartrek startet mit seinen üblichen Einstellungen.</translation>
    </message>
    <message>
        <source>The settings cannot be saved in %1. Chartrek works on, but will not remember your choices.</source>
        <translation>Die Einstellungen können nicht in %1 gespeichert werden. Chartrek arbeitet weiter, merkt sich Ihre Auswahl aber nicht.</translation>
    </message>
</context>
<context>
    <name>chartrek::SingleInstance</name>
    <message>
        <source>No private runtime folder; the program runs without the single-instance service.</source>
        <translation>Kein privater Laufzeitordner; das Programm läuft ohne den Dienst für eine einzige Instanz.</translation>
    </message>
    <message>
        <source>The start lock could not be taken; going on without it.</source>
        <translation>Die Startsperre konnte nicht gesetzt werden; es geht ohne sie weiter.</translation>
    </message>
    <message>
        <source>No private runtime folder to find the running instance in.</source>
        <translation>Kein privater Laufzeitordner, in dem die laufende Instanz zu finden wäre.</translation>
    </message>
    <message>
        <source>The file path is too long to hand over.</source>
        <translation>Der Dateipfad ist zu lang für die Übergabe.</translation>
    </message>
    <message>
        <source>The running instance did not confirm the hand-over.</source>
        <translation>Die laufende Instanz hat die Übergabe nicht bestätigt.</translation>
    </message>
</context>
<context>
    <name>chartrek::UndoCommands</name>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederherstellen: %1</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>chartrek::frmAutoLineError</name>
    <message>
        <source>Get the line</source>
        <translation>Linie holen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>I was not able to find the next point. It should be somewhere near the rectangle in the middle of the view. Now click on the line to select the next point.<byte value="xd"/>
<byte value="xd"/>
You may use the numeric keypad to select the point. Use the Enter key to set the point.<byte value="xd"/>
<byte value="xd"/>
In the window below, you can see the color of the point under the mouse pointer.<byte value="xd"/>
<byte value="xd"/>
After selecting a point, click OK to accept your choice.<byte value="xd"/>
</source>
        <translation>Ich konnte den nächsten Punkt nicht finden. Er sollte irgendwo nahe dem Rechteck in der Mitte der Ansicht liegen. Klicken Sie jetzt auf die Linie, um den nächsten Punkt auszuwählen.<byte value="xd"/>
<byte value="xd"/>
Sie können den Punkt auch mit dem Ziffernblock auswählen. Mit der Eingabetaste setzen Sie den Punkt.<byte value="xd"/>
<byte value="xd"/>
Im Fenster unten sehen Sie die Farbe des Punktes unter dem Mauszeiger.<byte value="xd"/>
<byte value="xd"/>
Nach der Auswahl eines Punktes klicken Sie auf OK, um ihn zu übernehmen.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>The x value must lie right of the middle of the rectangle. Please click on another point.</source>
        <translation>Der X-Wert muss rechts von der Mitte des Rechtecks liegen. Bitte klicken Sie auf einen anderen Punkt.</translation>
    </message>
</context>
<context>
    <name>chartrek::frmAutomatic</name>
    <message>
        <source>Ending point</source>
        <translation>Endpunkt</translation>
    </message>
    <message>
        <source>First you have to determine the last point of the line you wish to read. Click on the line where reading should end. Have a look at the color window to get the right point.</source>
        <translation>Zuerst legen Sie den letzten Punkt der Linie fest, die Sie lesen möchten. Klicken Sie auf die Linie, wo das Lesen enden soll. Achten Sie auf das Farbfenster, um den richtigen Punkt zu treffen.</translation>
    </message>
    <message>
        <source>Starting point</source>
        <translation>Startpunkt</translation>
    </message>
    <message>
        <source>Now you have to determine the starting point of the line you wish to read. Click on the line where reading should start. Have a look at the color window to get the right point.</source>
        <translation>Jetzt legen Sie den Startpunkt der Linie fest, die Sie lesen möchten. Klicken Sie auf die Linie, wo das Lesen beginnen soll. Achten Sie auf das Farbfenster, um den richtigen Punkt zu treffen.</translation>
    </message>
    <message>
        <source>Distance</source>
        <translation>Abstand</translation>
    </message>
    <message>
        <source>At last, you have to determine the minimum distance between two points. To do so, click a little to the right of the starting point.</source>
        <translation>Zuletzt legen Sie den kleinsten Abstand zwischen zwei Punkten fest. Klicken Sie dazu ein wenig rechts neben den Startpunkt.</translation>
    </message>
    <message>
        <source>Looking ...</source>
        <translation>Suche ...</translation>
    </message>
    <message>
        <source>Now I will try to read the line automatically. Press Cancel to stop reading.</source>
        <translation>Jetzt versuche ich, die Linie automatisch zu lesen. Drücken Sie Abbrechen, um das Lesen zu beenden.</translation>
    </message>
    <message>
        <source>Autoline</source>
        <translation>Autoline</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>One step &amp;back</source>
        <translation>Einen Schritt &amp;zurück</translation>
    </message>
    <message>
        <source>Line quality</source>
        <translation>Linienqualität</translation>
    </message>
    <message>
        <source>has &amp;lines next to it</source>
        <translation>hat &amp;Linien daneben</translation>
    </message>
    <message>
        <source>has &amp;grid</source>
        <translation>hat &amp;Gitter</translation>
    </message>
    <message>
        <source>Color &amp;tolerance</source>
        <translation>Farb&amp;toleranz</translation>
    </message>
    <message>
        <source>0: only the exact line color belongs to the line</source>
        <translation>0: nur die genaue Linienfarbe gehört zur Linie</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>chartrek::frmMain</name>
    <message>
        <source>Close the program?</source>
        <translation>Das Programm schließen?</translation>
    </message>
    <message>
        <source>select the zoom level for the zoom window</source>
        <translation>die Vergrößerung für das Lupenfenster wählen</translation>
    </message>
    <message>
        <source>%1 x Zoom</source>
        <translation>%1 x Zoom</translation>
    </message>
    <message>
        <source>existing data</source>
        <translation>vorhandene Daten</translation>
    </message>
    <message>
        <source>The unsaved work of an earlier session cannot be restored. %1</source>
        <translation>Die ungespeicherte Arbeit einer früheren Sitzung kann nicht wiederhergestellt werden. %1</translation>
    </message>
    <message>
        <source>Restore the unsaved work from %1?</source>
        <translation>Die ungespeicherte Arbeit vom %1 wiederherstellen?</translation>
    </message>
    <message>
        <source>curves of the figure: click to choose, double-click to rename</source>
        <translation>Kurven der Abbildung: Klick wählt aus, Doppelklick benennt um</translation>
    </message>
</context>
<context>
    <name>chartrek::frmMemInfo</name>
    <message>
        <source>Memory</source>
        <translation>Speicher</translation>
    </message>
    <message>
        <source>Used</source>
        <translation>Belegt</translation>
    </message>
    <message>
        <source>Physical</source>
        <translation>Physisch</translation>
    </message>
    <message>
        <source>... free</source>
        <translation>... frei</translation>
    </message>
    <message>
        <source>Pagefile</source>
        <translation>Auslagerung</translation>
    </message>
    <message>
        <source>Virtual</source>
        <translation>Virtuell</translation>
    </message>
</context>
<context>
    <name>chartrek::frmRotate</name>
    <message>
        <source>rotate graphic</source>
        <translation>Grafik drehen</translation>
    </message>
    <message>
        <source>rotate</source>
        <translation>drehen</translation>
    </message>
    <message>
        <source>Enter a number between -360.00 and 360.00</source>
        <translation>Geben Sie eine Zahl zwischen -360,00 und 360,00 ein</translation>
    </message>
    <message>
        <source>&amp;degrees</source>
        <translation>&amp;Grad</translation>
    </message>
    <message>
        <source>ca&amp;lculate</source>
        <translation>&amp;berechnen</translation>
    </message>
    <message>
        <source>calculate the angle by 2 points on the x-axis</source>
        <translation>den Winkel aus 2 Punkten auf der X-Achse berechnen</translation>
    </message>
    <message>
        <source>do &amp;it</source>
        <translation>aus&amp;führen</translation>
    </message>
    <message>
        <source>show the results</source>
        <translation>das Ergebnis zeigen</translation>
    </message>
    <message>
        <source>&amp;back</source>
        <translation>&amp;zurück</translation>
    </message>
    <message>
        <source>Set the graphic back</source>
        <translation>die Grafik zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Close the dialog</source>
        <translation>den Dialog schließen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Reset graphic and close the dialog</source>
        <translation>die Grafik zurücksetzen und den Dialog schließen</translation>
    </message>
</context>
<context>
    <name>chartrek::frmSplash</name>
    <message>
        <source>About Chartrek</source>
        <translation>Über Chartrek</translation>
    </message>
    <message>
        <source>for Linux</source>
        <translation>für Linux</translation>
    </message>
    <message>
        <source>Turns pictures of diagrams into numbers.</source>
        <translation>Macht aus Bildern von Diagrammen Zahlen.</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License,
version 3 or (at your option) any later version.</source>
        <translation>Freie Software unter der GNU General Public License,
Version 3 oder (nach Ihrer Wahl) jeder späteren Version.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
</TS>
