// The version record, shared by the Windows resource script.
#define TAVREL_VERSION_BINARY 1, 0, 0, 1
#define TAVREL_VERSION_TEXT "1, 0, 0, 1"
#define TAVREL_PRODUCT_NAME "Tavrel Application"
#define TAVREL_COMPANY_NAME "Norvane"
#define TAVREL_LANGUAGE 0x0412
#define TAVREL_CODE_PAGE 1200
#define TAVREL_TRANSLATION_KEY "041204b0"
