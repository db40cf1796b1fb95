[Ausdruck-Zusatzeinstellungen]
caption=1
gapsToFill=0
textAfter=1
paragraphMarks=0
date=1
nameField=1
captionText=Aufgaben\Kopfrechnen\Plus bis 20.txt
textAfterLine=Viel Erfolg!
