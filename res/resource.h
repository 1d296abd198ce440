/* Resource identifiers shared by kindling.rc and the C++ sources.
   Plain #defines only: windres runs this through the C preprocessor. */
#ifndef KINDLING_RESOURCE_H
#define KINDLING_RESOURCE_H

/* Application icon; lowest icon group id, so Explorer shows it. */
#define IDI_APP                         100

/* Dialogs */
#define IDD_MISSING_JRE                 201
#define IDD_JAVA_EXCEPTION              231

/* Controls of IDD_MISSING_JRE (besides IDOK / IDCANCEL) */
#define IDC_JRE_PATH                    201
#define IDC_BROWSE                      202
#define IDC_MESSAGE                     203
/* Not IDC_ICON: winuser.h already uses that name for a cursor. */
#define IDC_DIALOG_ICON                 204 /* in both dialogs */
#define IDC_DOWNLOAD_URL                205
#define IDC_BROWSE_HINT                 206

/* Controls of IDD_JAVA_EXCEPTION (besides IDOK = Ignore / IDCANCEL = Stop) */
#define IDC_EXCEPTION_TEXT              208
#define IDC_EXCEPTION_GROUP             209
#define IDC_EXCEPTION_INTRO             210
#define IDC_EXCEPTION_HELP              211
#define IDC_EXCEPTION_WARNING           212

#ifndef IDC_STATIC
#define IDC_STATIC                      (-1)
#endif

/* String table (language 1033) */
#define IDS_WINDOWS_EXCEPTION           202 /* %s, %d */
#define IDS_JNI_EXCEPTION_REASON        203 /* %s, %s */
#define IDS_COM_ERROR                   204 /* %s, %d */
#define IDS_JNI_EXCEPTION               205 /* %s */
#define IDS_JRE_NOT_FOUND_SERVER        206 /* %s = version text */
#define IDS_JRE_NOT_FOUND               207 /* %s = version text */
#define IDS_MODULE_PATH_FAILED          208
#define IDS_NO_CLASS_PATH               209
#define IDS_NO_MAIN_CLASS               210
#define IDS_MAIN_CLASS_LOAD_FAILED      211 /* %s */
#define IDS_NO_CREATE_JAVA_VM           212
#define IDS_CREATE_VM_FAILED            213
#define IDS_BROWSE_JRE_TITLE            214
#define IDS_MAIN_CLASS_NOT_FOUND        215 /* %s */
#define IDS_NO_MAIN_METHOD              216
#define IDS_VERSION_LATEST              217
#define IDS_VERSION_MAX                 218 /* %s */
#define IDS_VERSION_MIN                 219 /* %s */
#define IDS_VERSION_EXACT               220 /* %s */
#define IDS_VERSION_RANGE               221 /* %s, %s */
#define IDS_VM_LIBRARY_LOAD_FAILED      222 /* %s, %d */
#define IDS_INIT_FAILED                 223
#define IDS_MODULE_INIT_FAILED          224

/* Texts for JNI error codes: id = IDS_JNI_ERR_BASE - code, for
   JNI_ERR (-1) .. JNI_EINVAL (-6). */
#define IDS_JNI_ERR_BASE                224
#define IDS_JNI_ERR_UNKNOWN             225 /* JNI_ERR       -1 */
#define IDS_JNI_ERR_DETACHED            226 /* JNI_EDETACHED -2 */
#define IDS_JNI_ERR_VERSION             227 /* JNI_EVERSION  -3 */
#define IDS_JNI_ERR_NOMEM               228 /* JNI_ENOMEM    -4 */
#define IDS_JNI_ERR_EXIST               229 /* JNI_EEXIST    -5 */
#define IDS_JNI_ERR_INVAL               230 /* JNI_EINVAL    -6 */

#endif /* KINDLING_RESOURCE_H */
