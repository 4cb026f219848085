[playlist]
NumberOfEntries=2
File1=http://a.example/1
Title1=One, two
Length1=-1
File4=stream
Title4=Four
Version=2
