#include "app/form1.h"
#include "app/globals.h"
#include "monitor/form5.h"
#include "monitor/form7.h"
#include "scan/form2.h"
#include "scan/form3.h"
#include "scan/form4.h"
#include "scan/form6.h"

static void initResources()
{
    // The resources live in a static library: bring them in explicitly.
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(icons);
}

void createForms()
{
    initResources();
    Form1 = new TForm1;
    Form2 = new TForm2;
    Form3 = new TForm3;
    Form4 = new TForm4;
    Form5 = new TForm5;
    Form6 = new TForm6;
    Form7 = new TForm7;
}

void destroyForms()
{
    delete Form7;
    delete Form6;
    delete Form5;
    delete Form4;
    delete Form3;
    delete Form2;
    delete Form1;
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    Form4 = nullptr;
    Form5 = nullptr;
    Form6 = nullptr;
    Form7 = nullptr;
}
