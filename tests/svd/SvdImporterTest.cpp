// What the importer makes of SVD documents: one table of documents, each with every register it yields and its
// byte order, or with the line, element and problem of its refusal.

#include "frame/com/AnsiText.h"
#include "svd/SvdImporter.h"
#include "svd/XmlDocument.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <variant>

namespace {

using AnsiText::Narrow;

// A <device> with the given level properties and peripherals.
std::string MakeSvd(const std::string& peripherals, const std::string& deviceProperties = "<size>32</size>")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<device schemaVersion=\"1.3\">\n"
           "<name>TEST</name>\n" +
           deviceProperties + "\n<peripherals>\n" + peripherals + "\n</peripherals>\n</device>\n";
}

// One line per register, "DEVICE.path/NAME@ADDRESS/LENGTH/OPS=RESET" in hex, then a byte order other than
// unspecified; or the refusal as "LINE ELEMENT: PROBLEM" (the XML parser's own problem text left out).
std::string Import(const std::string& text)
{
    std::variant<CXmlDocument, CXmlProblem> document = ReadXmlDocument(text);
    if (const CXmlProblem* problem = std::get_if<CXmlProblem>(&document))
        return std::to_string(problem->line) + " xml";
    const std::variant<CDescription, CSvdError> result = ImportSvd(std::get<CXmlDocument>(document).root);
    if (const CSvdError* error = std::get_if<CSvdError>(&result))
        return std::to_string(error->line) + " " + Narrow(error->element) + ": " + Narrow(error->problem);
    const CDescription& description = std::get<CDescription>(result);
    std::string dump;
    for (const CDeviceInfo& device : description.devices)
        for (const CRegisterInfo& info : device.registers)
        {
            char numbers[64];
            std::snprintf(numbers, sizeof numbers, "@%08lX/%d/%s=%X\n",
                          static_cast<unsigned long>(info.address) & 0xFFFFFFFFul, info.length,
                          info.operations == 3 ? "RW" : info.operations == 1 ? "R" : "W",
                          static_cast<unsigned>(info.reset[0]));
            dump += Narrow(device.name) + "." + (info.path.empty() ? "" : Narrow(info.path) + "/") + Narrow(info.name) +
                    numbers;
        }
    const ByteOrder order = description.byteOrder;
    return dump + (order == ByteOrder::Big ? "big" : order == ByteOrder::Little ? "little" : "");
}

std::string Peripheral(const std::string& name, const std::string& base, const std::string& registers,
                       const std::string& extra = "")
{
    return "<peripheral" + extra + "><name>" + name + "</name><baseAddress>" + base + "</baseAddress>" +
           "<registers>" + registers + "</registers></peripheral>\n";
}

std::string Register(const std::string& name, const std::string& offset, const std::string& extra = "")
{
    return "<register><name>" + name + "</name><addressOffset>" + offset + "</addressOffset>" + extra + "</register>";
}

struct CImportCase
{
    const char* name;
    std::string svd;
    std::string outcome; // Import
};

const CImportCase kImports[] = {
    {"SizeAccessAndResetInheritedDownToTheRegisterAndOverriddenByAPeripheral",
     MakeSvd(Peripheral("P", "0x1000",
                        Register("A", "0") + Register("B", "4", "<size>8</size><access>write-only</access>") +
                            Register("C", "8", "<resetValue>0x1FF</resetValue>"),
                        "") +
                 "<peripheral><name>Q</name><baseAddress>0</baseAddress><size>8</size><access>read-write</access>"
                 "<registers>" + Register("A", "1") + "</registers></peripheral>",
             "<size>16</size><access>read-only</access><resetValue>0xABCD</resetValue><resetMask>0xFF0F</resetMask>"
             "<cpu><endian>big</endian></cpu>"),
     "P.A@00001000/16/R=AB0D\nP.B@00001004/8/W=D\nP.C@00001008/16/R=10F\nQ.A@00000001/8/RW=D\nbig"},
    {"AccessTypesAlternateGroupsScaledNumbersAndWideRegisters",
     MakeSvd(Peripheral("P", "4k",
                        Register("WO", "0", "<access>writeOnce</access>") +
                            Register("RWO", "4", "<access>read-writeOnce</access>") +
                            Register("RO", "8", "<access>read-only</access>") +
                            Register("RO", "8", "<alternateGroup>ALT</alternateGroup>") +
                            Register("WIDE", "#10000", "<size>128</size>")),
             "<size>32</size><cpu><endian>little</endian></cpu>"),
     "P.WO@00001000/32/W=0\nP.RWO@00001004/32/RW=0\nP.RO@00001008/32/R=0\nP.RO_ALT@00001008/32/RW=0\n"
     "P.WIDE@00001010/128/RW=0\nlittle"},
    {"ArraysWithAndWithoutAnIndexList",
     MakeSvd(Peripheral("P", "0x100", Register("CH%s", "0x10", "<dim>2</dim><dimIncrement>4</dimIncrement>"
                                                                 "<dimIndex>A,B</dimIndex>") +
                                          Register("BUF[%s]", "0x40", "<dim>3</dim><dimIncrement>0x8</dimIncrement>"))),
     "P.CHA@00000110/32/RW=0\nP.CHB@00000114/32/RW=0\n"
     "P.BUF[0]@00000140/32/RW=0\nP.BUF[1]@00000148/32/RW=0\nP.BUF[2]@00000150/32/RW=0\n"},
    {"ClustersBecomeFoldersAndAddTheirOffsetsAndPeripheralArrays",
     MakeSvd(Peripheral("DMA", "0x40000000",
                        "<cluster><name>CH%s</name><dim>2</dim><dimIncrement>0x20</dimIncrement>"
                        "<addressOffset>0x100</addressOffset>" +
                            Register("CFG", "0x4") +
                            "<cluster><name>IRQ</name><addressOffset>0x10</addressOffset>" + Register("EN", "0") +
                            "</cluster></cluster>") +
             "<peripheral><name>GPIO%s</name><dim>2</dim><dimIncrement>0x1000</dimIncrement>"
             "<baseAddress>0x40010000</baseAddress><registers>" + Register("IN", "0") + "</registers></peripheral>"),
     "DMA.CH0/CFG@40000104/32/RW=0\nDMA.CH0/IRQ/EN@40000110/32/RW=0\n"
     "DMA.CH1/CFG@40000124/32/RW=0\nDMA.CH1/IRQ/EN@40000130/32/RW=0\n"
     "GPIO0.IN@40010000/32/RW=0\nGPIO1.IN@40011000/32/RW=0\n"},
    {"DerivationChainAddsAndReplacesRegisters",
     MakeSvd(Peripheral("A", "0x100", Register("R", "0") + Register("S", "4")) +
             Peripheral("B", "0x200", Register("S", "4", "<size>8</size>") + Register("T", "8"), " derivedFrom=\"A\"") +
             "<peripheral derivedFrom=\"B\"><name>C</name><baseAddress>0x300</baseAddress></peripheral>"),
     "A.R@00000100/32/RW=0\nA.S@00000104/32/RW=0\n"
     "B.R@00000200/32/RW=0\nB.S@00000204/8/RW=0\nB.T@00000208/32/RW=0\n"
     "C.R@00000300/32/RW=0\nC.S@00000304/8/RW=0\nC.T@00000308/32/RW=0\n"},
    {"DerivedRegistersAndClusters",
     MakeSvd(Peripheral("P", "0",
                        Register("A", "0", "<size>16</size><access>read-only</access>") +
                            "<register derivedFrom=\"A\"><name>B</name><addressOffset>8</addressOffset></register>"
                            "<cluster><name>X</name><addressOffset>0x20</addressOffset>" + Register("R", "4") +
                            "</cluster><cluster derivedFrom=\"X\"><name>Y</name><addressOffset>0x40</addressOffset>"
                            "</cluster>") +
             Peripheral("Q", "0x100", "<register derivedFrom=\"P.A\"><name>B</name><addressOffset>4</addressOffset>"
                                      "</register>")),
     "P.A@00000000/16/R=0\nP.B@00000008/16/R=0\nP.X/R@00000024/32/RW=0\nP.Y/R@00000044/32/RW=0\n"
     "Q.B@00000104/16/R=0\n"},
    // Each refused document puts the offending element on a line of its own.
    {"RegisterWiderThan128Bits", MakeSvd(Peripheral("P", "0", "\n" + Register("R", "0", "<size>129</size>"))),
     "7 register: the register R is 129 bits wide; 1 to 128 are served"},
    {"NameRepeatedInAPeripheral", MakeSvd(Peripheral("P", "0", Register("R", "0") + "\n" + Register("R", "4"))),
     "7 register: the name R is repeated in peripheral P"},
    {"PeripheralDerivationCycle",
     MakeSvd(Peripheral("A", "0", "", " derivedFrom=\"B\"") + Peripheral("B", "0", "", " derivedFrom=\"A\"")),
     "6 peripheral: derivedFrom \"B\" forms a derivation cycle"},
    {"RegisterDerivedFromItself",
     MakeSvd(Peripheral("P", "0", "\n<register derivedFrom=\"R\"><name>R</name><addressOffset>0</addressOffset>"
                                  "</register>")),
     "7 register: derivedFrom \"R\" forms a derivation cycle"},
    {"DerivedFromUnknownPeripheral", MakeSvd(Peripheral("A", "0", "", " derivedFrom=\"NOPE\"")),
     "6 peripheral: derivedFrom names \"NOPE\", which is not a peripheral"},
    {"DimListDoesNotMatch",
     MakeSvd(Peripheral("P", "0", Register("R%s", "0", "<dim>3</dim><dimIncrement>4</dimIncrement>\n"
                                                        "<dimIndex>A,B</dimIndex>"))),
     "7 dimIndex: dimIndex lists 2 names for dim 3"},
    {"ArrayWithoutPlaceholder",
     MakeSvd(Peripheral("P", "0", "\n" + Register("R", "0", "<dim>2</dim><dimIncrement>4</dimIncrement>"))),
     "7 register: the array R has no %s in its name"},
    {"MissingBaseAddress", MakeSvd("\n<peripheral><name>P</name></peripheral>"),
     "7 peripheral: the required element <baseAddress> is missing"},
    {"NoSizeAnywhere", MakeSvd(Peripheral("P", "0", "\n" + Register("R", "0")), ""),
     "7 register: the register R has no size, nor does any level above it"},
    {"NotANumber", MakeSvd(Peripheral("P", "0", "\n" + Register("R", "0x1G"))),
     "7 addressOffset: \"0x1G\" is not a number"},
    {"UnknownAccess", MakeSvd(Peripheral("P", "0", "\n" + Register("R", "0", "<access>sometimes</access>"))),
     "7 access: \"sometimes\" is not an access type"},
    {"FieldOutsideTheRegister",
     MakeSvd(Peripheral("P", "0", Register("R", "0", "<size>8</size><fields>\n<field><name>F</name>"
                                                      "<bitRange>[8:1]</bitRange></field></fields>"))),
     "7 field: the field F does not lie within the register's 8 bits"},
    {"RootIsNotADevice", "<?xml version=\"1.0\"?>\n<peripherals/>",
     "2 peripherals: the document's root is <peripherals>, not <device>"},
    {"XmlNotWellFormed", MakeSvd(Peripheral("P", "0", "\n<register><name>R</name></reg>")), "7 xml"},
};

TEST(SvdImport, YieldsTheRegistersOrNamesTheProblem)
{
    for (const CImportCase& row : kImports)
        EXPECT_EQ(Import(row.svd), row.outcome) << row.name;
}

} // namespace
